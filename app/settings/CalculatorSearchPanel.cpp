#include "app/settings/CalculatorSearchPanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CalculatorSearchPanel::CalculatorSearchPanel(Dialogs& dialogs, QWidget* parent)
    : QGroupBox("Find calculator", parent), fDialogs(dialogs)
{
    setObjectName("calculatorSearch");
    findButton = new QPushButton("&Find calculator", this);
    findButton->setObjectName("findCalculatorButton");
    findButton->setToolTip("Try the likely devices and cables for the calculator and say what stands in the way");
    cancelButton = new QPushButton("Cancel search", this);
    cancelButton->setObjectName("cancelSearchButton");
    cancelButton->setEnabled(false);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName("searchStatus");
    statusLabel->setWordWrap(true);
    table = new QTableWidget(0, 4, this);
    table->setObjectName("searchTable");
    table->setHorizontalHeaderLabels({"Device", "Cable", "Found", "What to do"});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(findButton);
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(statusLabel);
    layout->addWidget(table, 1);

    connect(findButton, &QPushButton::clicked, this, &CalculatorSearchPanel::Find);
    connect(cancelButton, &QPushButton::clicked, this, &CalculatorSearchPanel::Cancel);
    hide();
}

void CalculatorSearchPanel::SetSearch(DoctorSystem& system, Clock& clock, EventPump& pump,
                                      std::function<void()> beforeSearch)
{
    fSystem = &system;
    fClock = &clock;
    fPump = &pump;
    fBeforeSearch = std::move(beforeSearch);
    show();
}

void CalculatorSearchPanel::Find()
{
    if (!fSystem || fSearching)
        return;
    fSearching = true;
    fCancelRequested = false;
    findButton->setEnabled(false);
    cancelButton->setEnabled(true);
    statusLabel->setText("Looking for link cables...");
    if (fBeforeSearch)
        fBeforeSearch();

    const std::vector<DoctorCandidate> candidates = DoctorCandidates(request ? request() : DoctorRequest{}, *fSystem);
    CableDoctor doctor(*fSystem, *fClock, *fPump, fDialogs);
    doctor.onTrying = [this](const DoctorCandidate& c) {
        statusLabel->setText(
            QString("Trying %1 (%2 cable)...").arg(QString::fromStdString(c.device), DoctorCableName(c.cable)));
        fPump->ProcessMessages();
    };
    doctor.cancelled = [this] { return fCancelRequested; };
    lastReport = doctor.Run(candidates);

    fSearching = false;
    findButton->setEnabled(true);
    cancelButton->setEnabled(false);
    ShowReport();
    if (const DoctorRow* found = lastReport.Found(); found && onFound)
        onFound(found->candidate);
}

void CalculatorSearchPanel::ShowReport()
{
    statusLabel->setText(QString::fromStdString(lastReport.VerdictLine()));
    table->setRowCount(static_cast<int>(lastReport.rows.size()));
    int r = 0;
    for (const DoctorRow& row : lastReport.rows) {
        const DoctorCandidate& c = row.candidate;
        const QString device = QString::fromStdString(c.device);
        const QString cells[] = {device, DoctorCableName(c.cable), QString::fromStdString(row.Last().detail),
                                 QString::fromStdString(row.Last().remedy)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(column == 0 && !c.description.empty() ? QString::fromStdString(c.description)
                                                                   : cells[column]);
            table->setItem(r, column, item);
        }
        ++r;
    }
    table->setVisible(!lastReport.rows.empty());
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
}
