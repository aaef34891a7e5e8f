#pragma once
// The failures that travel up to the event that started the work. Each carries the text
// the standard error dialog shows; GuardEvent (Dialogs.h) catches them at the event's edge.

#include <QString>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : Message(std::move(message)), Utf8(Message.toStdString()) {}
    const char* what() const noexcept override { return Utf8.c_str(); }

    QString Message;

private:
    std::string Utf8;
};

// A text that is not a number: "'%s' is not a valid integer value" and the like.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The serial port refused an operation or went away.
class EComPortError : public Exception {
public:
    using Exception::Exception;
};

// A selection outside a list: "List index out of bounds (%d)".
class EListIndexError : public Exception {
public:
    using Exception::Exception;
};

// settings.ini or a profile file could not be written: "Unable to write to %s".
class EIniWriteError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a fixed array (a channel, a grid row): a program fault, never a user error,
// but it must stop the work instead of corrupting memory.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

[[noreturn]] void ThrowRangeError(int index, int first, int last);
