#pragma once

#include <functional>

// Runs one block of posted work (a run-loop pass, a queue's worker) so that its failure does not
// take the thread down with it, and says which failures may not be ridden over:
// - a NamedException is a programming error (a broken invariant check): the program ends with its
//   message, as if it had not been caught, so that the mistake is seen where it happened;
// - any other exception is what outside data may cause (memory, a library's refusal): it is logged
//   as "<owner>: a posted block threw: <what>" and the thread goes on with the next block.
void runPostedWork(const char* owner, const std::function<void()>& block);
