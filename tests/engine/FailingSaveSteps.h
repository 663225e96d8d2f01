// The platform's save steps, made to fail at one chosen step, for tests
// that prove a failed save keeps the old file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "SafeSave.h"

// The platform's steps, made to fail at one of them (1 = create ... 5 =
// replace), as a full disk or a lost file would.
class FailingSteps : public SaveSteps {
public:
    explicit FailingSteps(int failAt) : real_(makePlatformSaveSteps()), failAt_(failAt) {}
    bool createTemp(const std::string& target, std::string& temp) override {
        return step(1) && real_->createTemp(target, temp);
    }
    bool write(std::string_view bytes) override {
        if (failAt_ == 2) {
            real_->write(bytes.substr(0, bytes.size() / 2));  // a partial write, then the failure
            return false;
        }
        return real_->write(bytes);
    }
    bool flush() override { return step(3) && real_->flush(); }
    bool close() override {
        const bool ok = real_->close();
        return step(4) && ok;
    }
    bool replace(const std::string& temp, const std::string& target) override {
        return step(5) && real_->replace(temp, target);
    }
    void discard(const std::string& temp) override { real_->discard(temp); }

private:
    bool step(int k) const { return k != failAt_; }
    std::unique_ptr<SaveSteps> real_;
    int failAt_;
};
