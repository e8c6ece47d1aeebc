// The exceptions of the ZUL family: a message, a log prefix, an optional failure code, an optional
// cause and the call stack at the point where the failure was raised.
#pragma once

#include "utilities/KestUtilitiesExport.h"
#include "utilities/ZUL_Code.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

/// Base of all ZUL exceptions; catch it (or std::exception) to handle any of them.
class KEST_UTILITIES_API ZUL_Exception : public std::exception {
  public:
    ZUL_Exception(const ZUL_Code& code, std::string log_prefix, std::string message,
                  std::unique_ptr<ZUL_Exception> cause = nullptr);
    /// Copies every field: the cause through its own Clone, the backtrace as it is.
    ZUL_Exception(const ZUL_Exception& other);
    ZUL_Exception& operator=(const ZUL_Exception& other);
    ~ZUL_Exception() override;

    /// The message.
    const char* what() const noexcept override;
    /// A new exception of the same class with the same code, prefix, message and a copy of the
    /// cause; its backtrace is captured anew, at the time of the copy.
    virtual std::unique_ptr<ZUL_Exception> Clone() const = 0;
    virtual const std::string& GetMessage() const { return _message; }
    virtual const std::string& GetLogPrefix() const { return _log_prefix; }
    virtual const char* GetClassName() const = 0;
    virtual int GetExitCode() const = 0;

    const ZUL_Code& GetCode() const { return _code; }
    /// The exception that led to this one, or null.
    const ZUL_Exception* GetCause() const { return _cause.get(); }
    /// The call stack when the exception was built, innermost frame first.
    const std::vector<std::string>& GetBacktrace() const { return _backtrace; }

  private:
    ZUL_Code _code;
    std::string _log_prefix;
    std::string _message;
    std::unique_ptr<ZUL_Exception> _cause;
    std::vector<std::string> _backtrace;
};

/// A failure: the one ZUL exception that is thrown.
class KEST_UTILITIES_API ZUL_Failure : public ZUL_Exception {
  public:
    using ZUL_Exception::ZUL_Exception;
    ZUL_Failure(const ZUL_Failure&) = default;
    ZUL_Failure& operator=(const ZUL_Failure&) = default;
    ~ZUL_Failure() override;

    std::unique_ptr<ZUL_Exception> Clone() const override;
    /// "ZUL_Failure".
    const char* GetClassName() const override;
    /// -1 when a failure code is set, -14 otherwise.
    int GetExitCode() const override;
};
