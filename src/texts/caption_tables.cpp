#include "texts/caption_tables.h"

namespace dovrelle {

// Rows "name=caption": the name of a control of the wizard window, the caption after the first "=".
// helpurl holds the user guide's path relative to the program's installation (see helpAddress).

QStringList englishCaptionTable()
{
    static const char16_t* const rows[] = {
        u"Label1=Welcome",
        u"Label2=Connect to Mysql server",
        u"Label3=Connect to Oracle server",
        u"Label4=Conversion Settings",
        u"Label5=Select table to convert",
        u"Label6=Conversion is Completed",
        u"Label7=Welcome to the Database",
        u"Label8=Conversion Wizard",
        u"Label9=This wizard helps you move Mysql database to Oracle  server.",
        u"Label10=Click 'Next' to continue.",
        u"Label11=Provide necessary information to establish connection with MySQL server.",
        u"Label12=User name:",
        u"Label13=Password:",
        u"Label15=Database :",
        u"Label14=Host:",
        u"edtport111=Port number:",
        u"Label16=(it could be network name or IP address)",
        u"Label17=(Default Mysql Port is 3306)",
        u"Label18=Provide the necessary information to establish connection with Oracle server.",
        u"Label19=Enter the same values that you specify for standard Oracle applications",
        u"Label20=Link Oracle Enterprise Manager Console.",
        u"Label21=&Service:",
        u"Label22=&User name:",
        u"Label23=&Password",
        u"Label24=On this page you can specify source database name and conversion settings.",
        u"Label25=MySQL database name:",
        u"Label33=Character Set",
        u"Label26=Select MySQL tables to convert into Oracle format.",
        u"Label27=Available tables:",
        u"Label28=Selected tables:",
        u"Label29=Conversion is Completed",
        u"Label30=Wizard has migrated your MySQL database to Oracle server successfully.",
        u"Label32=Click 'Finish' to exit the wizard.",
        u"accessmode=Access mode",
        u"processtable=How to process existing tables:",
        u"authorization=Authorization settings",
        u"GroupBox1=Port settings",
        u"GroupBox2=Remote settings",
        u"chktabledefi=Convert table definitions only",
        u"chkskipindex=Skip converting indexes",
        u"chkuppercase=Make names uppercase",
        u"chkblobtotext=Convert BLOB to text",
        u"chkfullschema=Keep full schema (exact types, NOT NULL, defaults, keys)",
        u"chkverifyrows=Verify copied rows",
        u"helpurl=docs/index.html",
        u"queryclose=Close this Wizard ?",
    };
    QStringList table;
    for (const char16_t* row : rows)
        table.append(QString::fromUtf16(row));
    return table;
}

QStringList chineseCaptionTable()
{
    static const char16_t* const rows[] = {
        u"Label1=欢迎",
        u"Label2=连接MYSQL",
        u"Label3=连接Oracle",
        u"Label4=设置",
        u"Label5=选择要转换的表",
        u"Label6=完成转换",
        u"Label7=欢迎使用数据库转换向导",
        u"Label8=",
        u"Label9=本向导将实现Mysql 的表到Oracle的转换",
        u"Label10=点击 'Next' 按钮进行下一步",
        u"Label11=请提供连接到Mysql 的必要信息",
        u"Label12=用户名:",
        u"Label13=密码:",
        u"Label15=数据库名称 :",
        u"Label14=Host:",
        u"edtport111=端口号:",
        u"Label16=(网络名称或IP地址)",
        u"Label17=(Default Mysql Port is 3306)",
        u"Label18=请提供连接到Oracle 的必要信息",
        u"Label19=",
        u"Label20=",
        u"Label21=Service 名称:",
        u"Label22=用户名:",
        u"Label23=密码:",
        u"Label24=转换设置",
        u"Label25=MySQL 数据库选择",
        u"Label33=字符集",
        u"Label26=选择要进行转换的表",
        u"Label27=Mysql 表",
        u"Label28=已选择表",
        u"Label29=已经完成转换",
        u"Label30=向导已经完成Mysql 数据库到Orccle的转换.",
        u"Label32=点击 'Finish' 离开本向导.",
        u"accessmode=存取模式",
        u"processtable=如何处理已经存在的表:",
        u"authorization=登陆设置",
        u"GroupBox1=Port settings",
        u"GroupBox2=远程连接设置",
        u"chktabledefi=只转换表定义(不导入数据)",
        u"chkskipindex=选中则不处理索引",
        u"chkuppercase=名称转换为大写",
        u"chkblobtotext=转换BLOB为TEXT类型",
        u"chkfullschema=保留完整表结构(精确类型、NOT NULL、默认值、键)",
        u"chkverifyrows=校验已复制的行",
        u"helpurl=docs/index.zh.html",
        u"queryclose=退出向导 ?",
    };
    QStringList table;
    for (const char16_t* row : rows)
        table.append(QString::fromUtf16(row));
    return table;
}

namespace {

int findRow(const QStringList& table, const QString& name)
{
    for (int i = 0; i < table.size(); ++i) {
        const QString& row = table[i];
        if (row.left(row.indexOf(u'=')).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

}  // namespace

QString captionFromTable(const QStringList& table, const QString& name)
{
    const int i = findRow(table, name);
    if (i < 0)
        return {};
    const QString& row = table[i];
    return row.mid(row.indexOf(u'=') + 1);
}

bool tableHasRow(const QStringList& table, const QString& name)
{
    return findRow(table, name) >= 0;
}

}  // namespace dovrelle
