#pragma once

#include <string>

// Moving saved files without ever replacing one.

enum class FileMoveResult {
    moved,
    sourceMissing,      // nothing at `from`
    destinationExists,  // `to` is taken; both files stay as they were
    failed,             // a step failed (logged); `from` stays, `to` is untouched
};

// Moves the file at `from` to `to` unless something already exists at `to` (a plain rename would
// silently replace it). On one file system this is renameat2 with RENAME_NOREPLACE. Across file
// systems, or where the file system refuses the flag, the bytes go to a temporary file in the
// destination folder, which is flushed and then linked to `to` (a link never replaces either);
// the temporary name and `from` are removed afterwards. Only regular files are copied.
FileMoveResult moveFileWithoutReplacing(const std::string& from, const std::string& to);

// Moves a saved file that cannot be read out of the way, to "<path>.corrupt-<UTC time>" (with
// "-2", "-3", ... added while that name is taken), so that the next save cannot overwrite it.
// Returns the new path, or an empty string when the file could not be moved (logged).
std::string moveFileAside(const std::string& path);
