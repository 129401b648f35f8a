#include "launch/file_replace.h"

#include <windows.h>

#include <string>

bool replaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    const std::string target = path.string();
    const std::string temporary = target + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool complete = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
                    written == bytes.size() && FlushFileBuffers(file) != 0;
    complete = CloseHandle(file) != 0 && complete;
    if (complete && MoveFileExA(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return true;
    }
    DeleteFileA(temporary.c_str());
    return false;
}

std::filesystem::path createFileBeside(const std::filesystem::path& name) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string path = name.string() + "." + std::to_string(GetTickCount() + attempt * 7919u);
        HANDLE file =
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return path;
        }
    }
    return {};
}

bool moveUnlessPresent(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    return MoveFileExA(from.string().c_str(), to.string().c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}
