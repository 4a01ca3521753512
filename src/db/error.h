#pragma once

#include <QString>
#include <exception>
#include <string>

namespace dovrelle {

// The one error type of the system: a message as the failing party (server, library,
// file system) wrote it, possibly prefixed with the object it failed on.
class Error : public std::exception {
public:
    explicit Error(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

}  // namespace dovrelle
