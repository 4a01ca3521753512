#include "texts/control_texts.h"

#include <QHash>

namespace dovrelle {

QString controlText(const QString& english, const QString& languageCode)
{
    static const QHash<QString, QString> chinese = {
        {QStringLiteral("< Back"), QStringLiteral("< 上一步")}, {QStringLiteral("Next >"), QStringLiteral("下一步 >")},
        {QStringLiteral("Finish"), QStringLiteral("完成")},      {QStringLiteral("Close"), QStringLiteral("关闭")},
        {QStringLiteral("Stop"), QStringLiteral("停止")},        {QStringLiteral("Help"), QStringLiteral("帮助")},
    };
    if (languageCode != u"cn")
        return english;
    return chinese.value(english, english);
}

}  // namespace dovrelle
