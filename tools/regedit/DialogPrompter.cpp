#include "DialogPrompter.h"

#include <QMessageBox>
#include <QString>

namespace kestrane::regedit {

bool DialogPrompter::confirm(const std::string& title, const std::string& text) {
    return QMessageBox::question(nullptr, QString::fromStdString(title), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void DialogPrompter::inform(const std::string& title, const std::string& text) {
    QMessageBox::information(nullptr, QString::fromStdString(title), QString::fromStdString(text));
}

}  // namespace kestrane::regedit
