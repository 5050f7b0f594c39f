#include "common/result.h"

#include <cerrno>
#include <cstring>

std::string systemReason(int err) {
    const char* words = nullptr;
    switch (err) {
    case EACCES:
    case EPERM:
        words = "没有权限";
        break;
    case EROFS:
        words = "文件系统是只读的";
        break;
    case ENOSPC:
        words = "磁盘已满";
        break;
    case EDQUOT:
        words = "超出了磁盘配额";
        break;
    case EISDIR:
        words = "是文件夹";
        break;
    case ENOENT:
        words = "文件不存在";
        break;
    case EIO:
        words = "输入/输出错误";
        break;
    default:
        words = "系统错误";
        break;
    }
    return std::string(words) + " (" + std::strerror(err) + ")";
}
