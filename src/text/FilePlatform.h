#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "text/FileSystem.h"

// The system calls under TFile, one implementation per platform (FileSystemPosix.cpp,
// FileSystemWindows.cpp). TFile keeps its bookkeeping and the fault gate above them, so every
// platform is tested through the same gate. Error numbers are the platform's own (FileSystem.h).
namespace FilePlatform {

// The clock's seconds since 1970 (UTC), read cheaply: every record written asks for them.
std::time_t Now();
// The local date at `now` (a time the caller has just read).
TLocalDate Today(std::time_t now);

enum TOpenMode : std::uint8_t {
    omCreate,     // read and write, no sharing; an existing file is emptied once it is held
    omExclusive,  // an existing file, read and write, no sharing
    omShared,     // an existing file, read and write, shared
    omRead,       // an existing file that is not a folder, read only, shared with readers
};

// Opens `path` without waiting for other openers: 0 with `handle` set, or the error number
// (kFileInUse when another opener holds it in a way that excludes this one) with `handle`
// untouched.
int Open(const std::string& path, TOpenMode mode, TFileHandle& handle);

// Deletes a file: 0, or the error number (kFileInUse while anybody holds it open).
int Delete(const std::string& path);

// See CheckReplaceable, MoveFileReplacing and FlushFolder (FileSystem.h); the fault gate is above.
int CheckReplaceable(const std::string& path);
int Move(const std::string& from, const std::string& to);
int FlushFolder(const std::string& folder);

// Writes the file's data and size to the disk: 0, or the error number.
int Sync(TFileHandle handle);
// Writes the stores made into a mapping of the file to it (Sync then puts them on the disk).
int SyncMap(char* map, std::uint64_t length);

// Closes the handle, which releases its lock.
void Close(TFileHandle handle);

// The file's length in bytes; 0 when it cannot be told.
std::uint64_t Size(TFileHandle handle);

// Positioned transfers of all `count` bytes; false when that fails or the file is too short.
bool ReadAt(TFileHandle handle, std::uint64_t offset, void* buffer, std::size_t count);
bool WriteAt(TFileHandle handle, std::uint64_t offset, const void* buffer, std::size_t count);

// Sequential read: the bytes read, 0 at the end, -1 on failure (LastError set).
std::ptrdiff_t Read(TFileHandle handle, void* buffer, std::size_t count);

// Sets the file's length: 0, or the error number.
int Truncate(TFileHandle handle, std::uint64_t length);

// Reserves disk space for [offset, offset + length), lengthening the file: 0, or the error
// number. A failure may still have lengthened the file.
int Reserve(TFileHandle handle, std::uint64_t offset, std::uint64_t length);

// Whether an error of Reserve says that this file system cannot reserve space at all (rather
// than that there is no room).
bool CannotReserve(int error);

// Maps [0, length) of the file shared for reading and writing, in place of `old` (the mapping of
// [0, oldLength), or none). nullptr when that fails, with `old` still mapped as it was.
char* Map(TFileHandle handle, char* old, std::uint64_t oldLength, std::uint64_t length);
void Unmap(char* map, std::uint64_t length);

// Lets go of mapped pages in this process's memory; their bytes stay in the file.
void Release(char* from, std::uint64_t length);
// Starts writing the file's bytes in [offset, offset + length) to the disk and returns without
// waiting: only a head start for a later Sync, which reports any failure.
void WriteBack(TFileHandle handle, std::uint64_t offset, std::uint64_t length);
std::uint64_t PageSize();

// The calling thread's last error number (errno, GetLastError()), and setting it.
int LastError();
void SetError(int error);

}  // namespace FilePlatform
