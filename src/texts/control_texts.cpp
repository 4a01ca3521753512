#include "texts/control_texts.h"

#include <QHash>

namespace dovrelle {

QString controlText(const QString& english, const QString& languageCode)
{
    static const QHash<QString, QString> chinese = {
        {QStringLiteral("< Back"), QStringLiteral("< 上一步")}, {QStringLiteral("Next >"), QStringLiteral("下一步 >")},
        {QStringLiteral("Finish"), QStringLiteral("完成")},      {QStringLiteral("Close"), QStringLiteral("关闭")},
        {QStringLiteral("Stop"), QStringLiteral("停止")},        {QStringLiteral("Help"), QStringLiteral("帮助")},
        {QStringLiteral("&Local"), QStringLiteral("本地(&L)")},  {QStringLiteral("&Romote"), QStringLiteral("远程(&R)")},
        {QStringLiteral("Overwrite"), QStringLiteral("覆盖")},   {QStringLiteral("Merge"), QStringLiteral("合并")},
        {QStringLiteral("Skip"), QStringLiteral("跳过")},        {QStringLiteral("Add >"), QStringLiteral("添加>")},
        {QStringLiteral("Add all >"), QStringLiteral("添加全部>")}, {QStringLiteral("< Remove"), QStringLiteral("<去除")},
        {QStringLiteral("< Remove all"), QStringLiteral("<去除全部")},
        {QStringLiteral("Create Shortcut File"), QStringLiteral("创建快捷方式")},
        {QStringLiteral("Check tables\u2026"), QStringLiteral("检查表\u2026")},
        {QStringLiteral("Open report"), QStringLiteral("打开报告")},
    };
    if (languageCode != u"cn")
        return english;
    return chinese.value(english, english);
}

}  // namespace dovrelle
