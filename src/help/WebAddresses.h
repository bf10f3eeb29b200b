#pragma once

#include <QString>

// The product's web host, in this one place.
inline const QString kProductHost = QStringLiteral("www.corvane.com");

inline QString productPageAddress()
{
    return QStringLiteral("http://") + kProductHost + QStringLiteral("/ovrel.html");
}

inline QString recordFormAddress()
{
    return QStringLiteral("http://") + kProductHost
           + QStringLiteral("/downloads/OVREL%20Record%20Form.pdf");
}
