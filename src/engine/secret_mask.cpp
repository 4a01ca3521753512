#include "engine/secret_mask.h"

#include <algorithm>

namespace dovrelle {

QString maskSecrets(const QString& text, const QStringList& secrets)
{
    QStringList ordered;
    for (const QString& secret : secrets)
        if (!secret.isEmpty() && text.contains(secret))
            ordered.append(secret);
    if (ordered.isEmpty())
        return text;
    // A password that holds the other one is masked whole.
    std::sort(ordered.begin(), ordered.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QString masked = text;
    for (const QString& secret : ordered)
        masked.replace(secret, QStringLiteral("***"));
    return masked;
}

}  // namespace dovrelle
