#pragma once
// A growable byte buffer for the DevCon stand-in's output, written in one go at the end so that
// a burst larger than a pipe's buffer really fills the pipe while the reader must keep reading.
#include <windows.h>

#include <cstdlib>
#include <cstring>

class OutputBuffer {
public:
    OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { std::free(data_); }

    void Add(const char* text) {
        const size_t n = std::strlen(text);
        if (n == 0) return;
        if (size_ + n > capacity_) {
            size_t capacity = capacity_ ? capacity_ : 256;
            while (capacity < size_ + n) capacity *= 2;
            char* grown = static_cast<char*>(std::realloc(data_, capacity));
            if (!grown) ::ExitProcess(4);
            data_ = grown;
            capacity_ = capacity;
        }
        std::memcpy(data_ + size_, text, n);
        size_ += n;
    }

    void Transform(int (*change)(int)) {
        for (size_t i = 0; i < size_; ++i) {
            data_[i] = static_cast<char>(change(static_cast<unsigned char>(data_[i])));
        }
    }

    const char* Data() const { return data_; }
    size_t Size() const { return size_; }

    // Loops because a pipe may take a large write in parts.
    bool WriteTo(HANDLE handle) const {
        size_t done = 0;
        while (done < size_) {
            DWORD written = 0;
            if (!::WriteFile(handle, data_ + done, static_cast<DWORD>(size_ - done), &written,
                             nullptr) ||
                written == 0) {
                return false;
            }
            done += written;
        }
        return true;
    }

private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};
