// The save steps on POSIX systems (the native build and its tests).
#pragma once

#include "SafeSave.h"

class PosixSaveSteps : public SaveSteps {
public:
    PosixSaveSteps() = default;
    PosixSaveSteps(const PosixSaveSteps&) = delete;
    PosixSaveSteps& operator=(const PosixSaveSteps&) = delete;
    ~PosixSaveSteps() override;

    bool createTemp(const std::string& target, std::string& tempPath) override;
    bool write(std::string_view bytes) override;
    bool flush() override;
    bool close() override;
    bool replace(const std::string& tempPath, const std::string& target) override;
    void discard(const std::string& tempPath) override;

protected:
    int fd_ = -1;  // the open temporary file
};
