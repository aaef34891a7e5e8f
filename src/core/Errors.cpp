#include "core/Errors.h"

void ThrowRangeError(int index, int first, int last)
{
    throw ERangeError(QStringLiteral("Range check error (index %1 outside %2..%3)")
                          .arg(index)
                          .arg(first)
                          .arg(last));
}
