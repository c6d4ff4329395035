#include "form1.h"
#include "look.h"
#include "qt_runtime.h"

#include <QApplication>

int main(int argc, char** argv) {
    InstallFontSubstitutes();
    QApplication app(argc, argv);
    QtRuntime runtime;
    SetRuntime(&runtime);
    Form1 form;
    form.show();
    return app.exec();
}
