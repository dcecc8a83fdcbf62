#pragma once

#include <string>

// Replaces the file at `path` with `bytes` so that, even across a crash or power cut, the file holds
// either its old content or the whole new content: the bytes go to a uniquely named temporary file
// in the same folder, which is flushed to disk and renamed over the target, and then the folder is
// flushed too. A replaced file keeps its permissions; a new one is readable by its owner only.
//
// On failure returns false with one log line giving the reason; the temporary file is removed and
// the target keeps its old content. The one exception is a failure to flush the folder after the
// rename: the new content is then in place but may not survive a power cut, and false is returned.
bool writeFileAtomically(const std::string& path, const std::string& bytes);
