#include "fonts.h"
#include "frmmain.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabiDori"));
    platform::registerFontSubstitutions();
    QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));

    frmMain w;
    w.show();
    return app.exec();
}
