#pragma once

#include <QString>
#include <stdexcept>

// A failure with a number and a description, as the start-up report shows them.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number)
    {
    }
    int number() const { return number_; }

private:
    int number_;
};
