#pragma once

#include <QString>

#include <exception>

namespace bp {

// An error of the program's own: a message meant for the user. It travels
// only inside one command; the command's handler catches it and shows it.
class EBrewpadError : public std::exception {
public:
    explicit EBrewpadError(QString message)
        : FMessage(std::move(message)), FUtf8(FMessage.toUtf8())
    {
    }
    const QString& message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// "Can't find 'path'": the common message for a file that is not there.
inline EBrewpadError cantFind(const QString& path)
{
    return EBrewpadError(QStringLiteral("Can't find '") + path + QLatin1Char('\''));
}

} // namespace bp
