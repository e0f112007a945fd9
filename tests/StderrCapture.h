// Everything written to file descriptor 2 between construction and take():
// for tests that stderr carries the log lines and nothing else.
#pragma once

#include <cstdio>
#include <string>
#include <unistd.h>

namespace pdfunlock::testing {

class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile()), saved_(::dup(2)) {
        std::fflush(stderr);
        ::dup2(::fileno(file_), 2);
    }
    ~StderrCapture() {
        restore();
        std::fclose(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string take() {
        restore();
        std::string text(static_cast<size_t>(std::ftell(file_)), '\0');
        std::rewind(file_);
        text.resize(std::fread(text.data(), 1, text.size(), file_));
        return text;
    }

private:
    void restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, 2);
            ::close(saved_);
            saved_ = -1;
            std::fseek(file_, 0, SEEK_END);
        }
    }
    std::FILE* file_;
    int saved_;
};

} // namespace pdfunlock::testing
