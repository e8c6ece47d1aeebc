// Failure codes carried by ZUL exceptions.
#pragma once

#include "utilities/KestUtilitiesExport.h"

/// A failure code; a default-constructed code means "no code".
class KEST_UTILITIES_API ZUL_Code {
  public:
    ZUL_Code() = default;
    explicit ZUL_Code(int value) : _value(value), _exists(true) {}

    /// True if a code is set.
    bool exists() const { return _exists; }
    /// The code, 0 when none is set.
    int value() const { return _value; }

  private:
    int _value = 0;
    bool _exists = false;
};
