// Byte streams: the file stream pictures are read from, and memory streams that parsers
// and the stored "Data" form work over.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "rtl/Object.h"

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream : public TObject {
public:
    const char* ClassName() const noexcept override { return "TStream"; }

    // Plain read and write: move up to `count` bytes and return how many were moved.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    // Exactly `count` bytes or EReadError "ストリームからの読み込みエラー" (the bytes that were
    // there have been consumed).
    void ReadBuffer(void* buffer, int32_t count);
    // Exactly `count` bytes or EWriteError.
    void WriteBuffer(const void* buffer, int32_t count);

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t position) { Seek(position, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    // Copies `count` bytes from `source`'s position (the whole source when 0); fails with
    // EReadError when the source runs short. Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Open modes: an access value combined with a sharing value, or fmCreate.
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;
constexpr uint16_t fmCreate = 0xFFFF;  // create or replace, read-write, exclusive

class TFileStream : public TStream {
public:
    // Fails with EFOpenError "ファイル %s は開けません" (or EFCreateError for fmCreate),
    // naming `fileName` as given.
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    const char* ClassName() const noexcept override { return "TFileStream"; }

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return fileName_; }
    HANDLE Handle() const { return handle_; }

private:
    std::string fileName_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Reads over bytes held in memory; the memory stays the caller's. Writing is refused.
class TPointerStream : public TStream {
public:
    TPointerStream(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(static_cast<int64_t>(size)) {}
    const char* ClassName() const noexcept override { return "TPointerStream"; }

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    const uint8_t* Memory() const { return data_; }

private:
    const uint8_t* data_;
    int64_t size_;
    int64_t position_ = 0;
};

// A growable block of memory; Memory() gives direct access to its Size() bytes.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    TMemoryStream(const void* data, size_t size);  // a copy of the bytes, position 0
    explicit TMemoryStream(std::vector<uint8_t>&& bytes);  // takes the bytes over, no copy
    const char* ClassName() const noexcept override { return "TMemoryStream"; }

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }
    void SetSize(int64_t size) override;  // new bytes are zero; position kept within size

    uint8_t* Memory() { return bytes_.data(); }
    const uint8_t* Memory() const { return bytes_.data(); }
    void Clear();
    // Replaces the contents with the whole of `stream` (from its start) / of the file.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

private:
    void Reserve(int64_t size);
    std::vector<uint8_t> bytes_;  // capacity; the first size_ bytes are the contents
    int64_t size_ = 0;
    int64_t position_ = 0;
};
