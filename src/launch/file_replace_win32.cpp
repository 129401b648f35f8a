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
