// Saving a file so that a failed save never destroys the file that was
// there before.
//
// A save writes the whole text to a new temporary file in the target's
// folder, flushes and closes it, and only then replaces the target with it.
// Any failed step removes the temporary file and leaves the target as it was.
#pragma once

#include <memory>
#include <string>
#include <string_view>

// The file-system operations of one save, in the order a save uses them.
// The platform provides them; tests wrap them to fail at a chosen step.
class SaveSteps {
public:
    virtual ~SaveSteps() = default;
    // Creates and opens a new empty file beside the target; its path out.
    virtual bool createTemp(const std::string& target, std::string& tempPath) = 0;
    virtual bool write(std::string_view bytes) = 0;
    virtual bool flush() = 0;  // to the disk, not just out of our buffers
    virtual bool close() = 0;
    // Puts the temporary file in the target's place in one step.
    virtual bool replace(const std::string& tempPath, const std::string& target) = 0;
    // Cleans up after a failure: closes what is open and deletes the file.
    virtual void discard(const std::string& tempPath) = 0;
};

// The operations of this platform, fresh for one save.
std::unique_ptr<SaveSteps> makePlatformSaveSteps();

// Writes `bytes` to `path` through `steps`: a temporary file beside it,
// written, flushed and closed, then put in its place. Any failed step
// removes the temporary file and leaves `path` as it was; false then.
bool saveFileSafely(const std::string& path, std::string_view bytes, SaveSteps& steps);
