#include "platform/qpdf/BlockInputSource.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFSystemError.hh>
#include <sys/stat.h>
#include <unistd.h>

namespace pdfunlock {

std::shared_ptr<const OpenFile> OpenFile::open(const std::string& path) {
    // Without O_NONBLOCK a pipe with no writer would hold the open forever;
    // only a regular file can be a document.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throw QPDFSystemError("open " + path, errno);
    }
    return checked(path, fd);
}

std::shared_ptr<const OpenFile> OpenFile::adopt(int fd, const std::string& name) {
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        throw QPDFSystemError("open " + name, errno);
    }
    return checked(name, own);
}

std::shared_ptr<const OpenFile> OpenFile::checked(const std::string& name, int fd) {
    struct stat info {};
    const bool stated = ::fstat(fd, &info) == 0;
    const auto state = stated ? fileStateOf(fd) : std::nullopt;
    if (!state || !S_ISREG(info.st_mode)) {
        const int error = !stated ? errno : S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        throw QPDFSystemError("open " + name, error);
    }
    return std::shared_ptr<const OpenFile>(new OpenFile(name, fd, *state));
}

OpenFile::~OpenFile() {
    ::close(fd_);
}

BlockInputSource::BlockInputSource(std::shared_ptr<const OpenFile> file)
    : file_(std::move(file)), name_(file_->name()) {
    struct stat info {};
    if (::fstat(file_->fd(), &info) != 0) {
        throw QPDFSystemError("stat " + name_, errno);
    }
    size_ = info.st_size;
}

void BlockInputSource::unreadCh(char) {
    if (position_ > 0) {
        --position_;
    }
}

void BlockInputSource::seek(qpdf_offset_t offset, int whence) {
    qpdf_offset_t target = offset;
    if (whence == SEEK_CUR) {
        target += position_;
    } else if (whence == SEEK_END) {
        target += size_;
    }
    if (target < 0) {
        throw QPDFSystemError("seek " + name_, EINVAL);
    }
    position_ = target;
}

size_t BlockInputSource::read(char* out, size_t length) {
    last_offset = position_;
    size_t done = 0;
    while (done < length) {
        if (position_ < blockStart_ || position_ >= blockStart_ + blockLength_) {
            if (length - done >= kBlockSize) {
                // Large reads (stream data) bypass the block.
                const size_t got = readAt(out + done, length - done, position_);
                position_ += static_cast<qpdf_offset_t>(got);
                return done + got;
            }
            blockStart_ = position_;
            blockLength_ =
                static_cast<qpdf_offset_t>(readAt(block_.data(), block_.size(), position_));
            if (blockLength_ == 0) {
                break;
            }
        }
        const auto available = static_cast<size_t>(blockStart_ + blockLength_ - position_);
        const size_t take = std::min(available, length - done);
        std::memcpy(out + done, block_.data() + (position_ - blockStart_), take);
        done += take;
        position_ += static_cast<qpdf_offset_t>(take);
    }
    return done;
}

// Positions after the end of line (CR, LF or both) that follows the current
// position, and answers where that end of line began.
qpdf_offset_t BlockInputSource::findAndSkipNextEOL() {
    char chunk[4096];
    while (true) {
        const qpdf_offset_t start = tell();
        const size_t got = read(chunk, sizeof chunk);
        if (got == 0) {
            return tell();
        }
        const char* begin = chunk;
        const char* end = chunk + got;
        const char* eol = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
        if (eol == end) {
            continue;
        }
        const qpdf_offset_t result = start + (eol - chunk);
        seek(result + 1, SEEK_SET);
        char c = 0;
        while (read(&c, 1) == 1) {
            if (c != '\r' && c != '\n') {
                unreadCh(c);
                break;
            }
        }
        return result;
    }
}

size_t BlockInputSource::readAt(char* out, size_t length, qpdf_offset_t offset) {
    while (true) {
        const ssize_t got = ::pread(file_->fd(), out, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw QPDFSystemError("read " + name_, errno);
        }
        // A regular file reads short only at its end. Ending before the size
        // seen at the open, it was cut meanwhile: qpdf takes a read of nothing
        // for its end and, still short of that size, would ask again forever.
        if (static_cast<size_t>(got) < length && offset + got < size_) {
            file_->shortened_ = true;
            throw QPDFExc(qpdf_e_damaged_pdf, name_, "", offset + got,
                          "the file became shorter while it was read");
        }
        return static_cast<size_t>(got);
    }
}

} // namespace pdfunlock
