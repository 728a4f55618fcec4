#include "rtl/Streams.h"
#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/ResourceStrings.h"

// ---- TStream ----

void TStream::ReadBuffer(void* buffer, int32_t count) {
    if (count < 0 || Read(buffer, count) != count) throw EReadError(LoadResString(res::SReadError));
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
    if (count < 0 || Write(buffer, count) != count) throw EWriteError(LoadResString(res::SWriteError));
}

int64_t TStream::Size() {
    int64_t position = Seek(0, soCurrent);
    int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    int64_t copied = 0;
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(count, 1), 0xF000)));
    while (copied < count) {
        int32_t n = static_cast<int32_t>(std::min<int64_t>(count - copied, static_cast<int64_t>(chunk.size())));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        copied += n;
    }
    return copied;
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
    if (mode == fmCreate) {
        handle_ = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            throw EFCreateError(Format(LoadResString(res::SFCreateError), {fileName}));
        return;
    }
    static const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    // Indexed by the sharing value's upper nibble: compatibility (0) and deny-none share all.
    static const DWORD share[5] = {FILE_SHARE_READ | FILE_SHARE_WRITE, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE};
    unsigned accessIndex = mode & 0x0F;
    unsigned shareIndex = (mode & 0xF0) >> 4;
    if (accessIndex <= 2 && shareIndex <= 4)
        handle_ = CreateFileA(fileName.c_str(), access[accessIndex], share[shareIndex], nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) throw EFOpenError(Format(LoadResString(res::SFOpenError), {fileName}));
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

int32_t TFileStream::Read(void* buffer, int32_t count) {
    if (count <= 0) return 0;
    DWORD done = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int32_t TFileStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    DWORD done = 0;
    if (!WriteFile(handle_, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<int32_t>(done);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    static const DWORD method[3] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (!SetFilePointerEx(handle_, distance, &result, method[origin])) return -1;
    return result.QuadPart;
}

void TFileStream::SetSize(int64_t size) {
    int64_t position = Position();
    Seek(size, soBeginning);
    if (!SetEndOfFile(handle_)) throw EWriteError(LoadResString(res::SWriteError));
    if (position < size) Seek(position, soBeginning);
}

// ---- shared position arithmetic of the memory streams ----

// Memory streams hold at most 2 GB (counts are 32-bit). Positions stay within
// [0, kMaxPosition], so that position + count never overflows even when a parser seeks by an
// offset taken from a hostile file.
constexpr int64_t kMaxPosition = 0x7FFFFFFF;

static int64_t SeekWithin(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
    if (offset > kMaxPosition) offset = kMaxPosition;
    if (offset < -kMaxPosition) offset = -kMaxPosition;
    int64_t target = base + offset;
    if (target < 0) return 0;
    return target > kMaxPosition ? kMaxPosition : target;
}

static int32_t Available(int64_t position, int64_t size, int32_t count) {
    if (count <= 0 || position >= size) return 0;
    return static_cast<int32_t>(std::min<int64_t>(count, size - position));
}

// ---- TPointerStream ----

int32_t TPointerStream::Read(void* buffer, int32_t count) {
    int32_t n = Available(position_, size_, count);
    if (n > 0) std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int32_t TPointerStream::Write(const void*, int32_t) { return 0; }

int64_t TPointerStream::Seek(int64_t offset, TSeekOrigin origin) {
    return position_ = SeekWithin(position_, size_, offset, origin);
}

// ---- TMemoryStream ----

TMemoryStream::TMemoryStream(const void* data, size_t size) {
    SetSize(static_cast<int64_t>(size));
    if (size) std::memcpy(bytes_.data(), data, size);
}

TMemoryStream::TMemoryStream(std::vector<uint8_t>&& bytes) {
    if (static_cast<int64_t>(bytes.size()) > kMaxPosition) throw EOutOfMemory(LoadResString(res::SOutOfMemory));
    bytes_ = std::move(bytes);
    size_ = static_cast<int64_t>(bytes_.size());
}

void TMemoryStream::Reserve(int64_t size) {
    if (size <= static_cast<int64_t>(bytes_.size())) return;
    if (size > kMaxPosition) throw EOutOfMemory(LoadResString(res::SOutOfMemory));
    // Grow geometrically so that many small writes stay cheap.
    int64_t capacity = std::max<int64_t>(size, static_cast<int64_t>(bytes_.size()) * 2);
    capacity = std::min<int64_t>((capacity + 0x1FFF) & ~int64_t(0x1FFF), kMaxPosition);
    try {
        bytes_.resize(static_cast<size_t>(capacity));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory(LoadResString(res::SOutOfMemory));
    } catch (const std::length_error&) {
        throw EOutOfMemory(LoadResString(res::SOutOfMemory));
    }
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) size = 0;
    Reserve(size);
    // Bytes past the old end may hold earlier contents: a grown stream reads zeros there.
    if (size > size_) std::memset(bytes_.data() + size_, 0, static_cast<size_t>(size - size_));
    size_ = size;
    if (position_ > size_) position_ = size_;
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
    int32_t n = Available(position_, size_, count);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    int64_t end = position_ + count;
    if (end > size_) {
        int64_t position = position_;
        SetSize(end);  // zero-fills any gap between the old end and the position
        position_ = position;
    }
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    return position_ = SeekWithin(position_, size_, offset, origin);
}

void TMemoryStream::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    size_ = position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    int64_t size = stream.Size();
    SetSize(size);
    position_ = 0;
    int64_t done = 0;
    while (done < size) {
        int32_t n = static_cast<int32_t>(std::min<int64_t>(size - done, 0x40000000));
        stream.ReadBuffer(bytes_.data() + done, n);
        done += n;
    }
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) {
    int64_t done = 0;
    while (done < size_) {
        int32_t n = static_cast<int32_t>(std::min<int64_t>(size_ - done, 0x40000000));
        stream.WriteBuffer(bytes_.data() + done, n);
        done += n;
    }
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}
