#include "utilities/ZUL_Exception.h"

#include "utilities/ZUL_Backtrace.h"

ZUL_Exception::ZUL_Exception(const ZUL_Code& code, std::string log_prefix, std::string message,
                             std::unique_ptr<ZUL_Exception> cause)
    : _code(code), _log_prefix(std::move(log_prefix)), _message(std::move(message)),
      _cause(std::move(cause)), _backtrace(ZUL_Backtrace::GetBacktrace()) {}

ZUL_Exception::ZUL_Exception(const ZUL_Exception& other)
    : std::exception(other), _code(other._code), _log_prefix(other._log_prefix),
      _message(other._message), _cause(other._cause ? other._cause->Clone() : nullptr),
      _backtrace(other._backtrace) {}

ZUL_Exception& ZUL_Exception::operator=(const ZUL_Exception& other) {
    if (this != &other) {
        auto cause = other._cause ? other._cause->Clone() : nullptr;
        _code = other._code;
        _log_prefix = other._log_prefix;
        _message = other._message;
        _cause = std::move(cause);
        _backtrace = other._backtrace;
    }
    return *this;
}

ZUL_Exception::~ZUL_Exception() = default;

const char* ZUL_Exception::what() const noexcept {
    return _message.c_str();
}

ZUL_Failure::~ZUL_Failure() = default;

std::unique_ptr<ZUL_Exception> ZUL_Failure::Clone() const {
    return std::make_unique<ZUL_Failure>(GetCode(), GetLogPrefix(), GetMessage(),
                                         GetCause() ? GetCause()->Clone() : nullptr);
}

const char* ZUL_Failure::GetClassName() const {
    return "ZUL_Failure";
}

int ZUL_Failure::GetExitCode() const {
    return GetCode().exists() ? -1 : -14;
}
