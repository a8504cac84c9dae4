#include "files/widgets/CommentDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

CommentDialog::CommentDialog(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setWindowTitle("Enter a comment!");
    headline = new QLabel("Please enter a comment:", this);
    commentEdit = new QLineEdit(this);
    commentEdit->setMaxLength(kMaxLength);
    commentEdit->setMinimumWidth(commentEdit->fontMetrics().averageCharWidth() * (kMaxLength + 4));
    auto* hint = new QLabel("Click Ok when ready!", this);
    okButton = new QPushButton("&OK", this);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    cancelButton = new QPushButton("&Cancel", this);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(headline);
    layout->addWidget(commentEdit);
    layout->addWidget(hint);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
}

std::optional<std::string> CommentDialog::Ask(const std::string& headlineText, const std::string& proposed)
{
    headline->setText(QString::fromStdString(headlineText));
    commentEdit->setText(QString::fromStdString(proposed));
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return commentEdit->text().toStdString();
}

void CommentDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    commentEdit->setFocus();
}
