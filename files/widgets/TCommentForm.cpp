#include "files/widgets/TCommentForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TCommentForm::TCommentForm(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setWindowTitle("Enter a comment!");
    headline = new QLabel("Please enter a comment:", this);
    Comment = new QLineEdit(this);
    Comment->setMaxLength(kMaxLength);
    Comment->setMinimumWidth(Comment->fontMetrics().averageCharWidth() * (kMaxLength + 4));
    auto* hint = new QLabel("Click Ok when ready!", this);
    OkButton = new QPushButton("&OK", this);
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline);
    layout->addWidget(Comment);
    layout->addWidget(hint);
    layout->addWidget(OkButton, 0, Qt::AlignRight);
}

std::string TCommentForm::Ask(const std::string& headlineText, const std::string& proposed)
{
    headline->setText(QString::fromStdString(headlineText));
    Comment->setText(QString::fromStdString(proposed));
    if (exec() != QDialog::Accepted)
        return {};
    return Comment->text().toStdString();
}

void TCommentForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    Comment->setFocus();
}
