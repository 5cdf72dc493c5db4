#include "platform/move_file.h"

#include "platform/system_library.h"

BOOL MoveFileExBound(const char* from, const char* to, DWORD flags) {
    using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    static const auto moveFileEx = BindKernel32<MoveFileExFn>("MoveFileExA");
    if (!moveFileEx) {
        ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    return moveFileEx(from, to, flags);
}
