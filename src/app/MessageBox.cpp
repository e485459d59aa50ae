#include "app/MessageBox.h"

#include <QMessageBox>

namespace kestrane::app {

namespace {

std::function<void(const QString&)>& recorder() {
    static std::function<void(const QString&)> r;
    return r;
}

const QString kTitle = QStringLiteral("Kestrane Professional");

}  // namespace

void MessageBox::error(QWidget* parent, const QString& text) {
    if (recorder()) {
        recorder()(text);
        return;
    }
    QMessageBox::critical(parent, kTitle, text);
}

void MessageBox::warning(QWidget* parent, const QString& text) {
    if (recorder()) {
        recorder()(text);
        return;
    }
    QMessageBox::warning(parent, kTitle, text);
}

void MessageBox::information(QWidget* parent, const QString& text) {
    if (recorder()) {
        recorder()(text);
        return;
    }
    QMessageBox::information(parent, kTitle, text);
}

void MessageBox::setRecorder(std::function<void(const QString&)> r) { recorder() = std::move(r); }

}  // namespace kestrane::app
