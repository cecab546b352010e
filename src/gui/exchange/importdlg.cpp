#include "importdlg.h"

#include "gui/common/accessibility.h"
#include "ui_importdlg.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>

namespace mdk {

namespace {

QString formatName(exchange::Format format)
{
    switch (format) {
    case exchange::Format::Kvtml: return ImportDlg::tr("KDE vocabulary");
    case exchange::Format::TextExport: return ImportDlg::tr("flashcard text export");
    case exchange::Format::Apkg: return ImportDlg::tr("flashcard package");
    default: return ImportDlg::tr("delimited text");
    }
}

QString encodingName(exchange::Encoding encoding)
{
    switch (encoding) {
    case exchange::Encoding::Utf16: return QStringLiteral("UTF-16");
    case exchange::Encoding::Windows1252: return QStringLiteral("Windows-1252");
    default: return QStringLiteral("UTF-8");
    }
}

QString delimiterName(QChar c)
{
    switch (c.unicode()) {
    case u'\t': return ImportDlg::tr("tab");
    case u';': return ImportDlg::tr("semicolon");
    case u',': return ImportDlg::tr("comma");
    default: return QStringLiteral("\"%1\"").arg(c);
    }
}

// A preview cell shows a line break as a pilcrow, so one card stays one row.
QTableWidgetItem *cell(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QStringLiteral(" \u00B6 "));
    shown.replace(QLatin1Char('\n'), QStringLiteral(" \u00B6 "));
    return new QTableWidgetItem(shown);
}

} // namespace

ImportDlg::ImportDlg(const QString &path, const CategoryTree &tree, const QString &selected, QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ImportDlg>()), path_(path)
{
    ui_->setupUi(this);
    ui_->fileLabel->setText(QFileInfo(path).fileName());
    ui_->buttons->button(QDialogButtonBox::Ok)->setText(tr("&Import"));
    ui_->previewTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Selecting the whole preview serves nothing: its corner button is off.
    ui_->previewTable->setCornerButtonEnabled(false);
    if (auto *corner = ui_->previewTable->findChild<QAbstractButton *>())
        corner->setAccessibleName(tr("Select all"));
    // The lists the combo boxes open, and so their scroll bars, say whose they are.
    ui_->formatCombo->view()->setAccessibleName(tr("Format"));
    ui_->encodingCombo->view()->setAccessibleName(tr("Encoding"));
    ui_->delimiterCombo->view()->setAccessibleName(tr("Delimiter"));
    ui_->headerCombo->view()->setAccessibleName(tr("First line is a header"));
    ui_->targetCombo->view()->setAccessibleName(tr("Into category"));
    ui_->duplicatesCombo->view()->setAccessibleName(tr("When side 1 is already there"));
    accessible::nameScrollBars(*this);

    // The tree in pre-order, indented by depth; the open category chosen.
    std::vector<int> depth(size_t(tree.nodeCount()), 0);
    for (CategoryTree::NodeId id : tree.preorder(tree.root())) {
        if (id != tree.root())
            depth[size_t(id)] = depth[size_t(tree.parent(id))] + 1;
        ui_->targetCombo->addItem(QString(2 * depth[size_t(id)], QLatin1Char(' ')) + tree.name(id), tree.name(id));
        if (tree.name(id) == selected)
            ui_->targetCombo->setCurrentIndex(ui_->targetCombo->count() - 1);
    }

    for (QComboBox *combo : {ui_->formatCombo, ui_->encodingCombo, ui_->delimiterCombo, ui_->headerCombo})
        connect(combo, &QComboBox::currentIndexChanged, this, &ImportDlg::updatePreview);
    for (QSpinBox *spin : {ui_->side1Spin, ui_->side2Spin})
        connect(spin, &QSpinBox::valueChanged, this, &ImportDlg::updatePreview);
    connect(ui_->categorySpin, &QSpinBox::valueChanged, this, [this] {
        if (!updating_)
            categoryFromHeader_ = false;
        updatePreview();
    });
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updatePreview();
}

ImportDlg::~ImportDlg() = default;

ImportChoice ImportDlg::choice() const
{
    ImportChoice c;
    exchange::ImportOptions &o = c.options;
    o.format = exchange::Format(ui_->formatCombo->currentIndex());
    o.encoding = exchange::Encoding(ui_->encodingCombo->currentIndex());
    o.header = exchange::Header(ui_->headerCombo->currentIndex());
    static const QChar delimiters[] = {QChar(), QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')};
    o.delimiter = delimiters[qBound(0, ui_->delimiterCombo->currentIndex(), 3)];
    o.side1Column = ui_->side1Spin->value() - 1;
    o.side2Column = ui_->side2Spin->value() - 1;
    o.categoryColumn = categoryFromHeader_ ? exchange::kColumnFromHeader : ui_->categorySpin->value() - 1;
    c.target = ui_->targetCombo->currentData().toString();
    c.duplicates = exchange::Duplicates(ui_->duplicatesCombo->currentIndex());
    return c;
}

void ImportDlg::updatePreview()
{
    if (updating_)
        return;
    const exchange::ParsedImport parsed = exchange::parsePreview(path_, choice().options, kPreviewCards);
    // Show what was detected in the column choice it decided.
    if (categoryFromHeader_) {
        updating_ = true;
        ui_->categorySpin->setValue(parsed.categoryColumn + 1);
        updating_ = false;
    }
    const bool delimited = parsed.format != exchange::Format::Kvtml && parsed.format != exchange::Format::Apkg;
    ui_->encodingCombo->setEnabled(parsed.format != exchange::Format::Apkg);
    for (QWidget *w : std::initializer_list<QWidget *>{ui_->delimiterCombo, ui_->headerCombo, ui_->side1Spin,
                                                        ui_->side2Spin, ui_->categorySpin})
        w->setEnabled(delimited);

    QTableWidget *table = ui_->previewTable;
    table->setRowCount(int(parsed.cards.size()));
    // The file's own names for the columns, when it has them.
    const QStringList names = parsed.headerFields;
    auto headerName = [&](int column, const QString &otherwise) {
        const QString name = column >= 0 ? names.value(column).trimmed() : QString();
        return name.isEmpty() ? otherwise : name;
    };
    table->setHorizontalHeaderLabels({headerName(parsed.side1Column, tr("Side 1")),
                                      headerName(parsed.side2Column, tr("Side 2")),
                                      headerName(parsed.categoryColumn, tr("Category"))});
    for (int r = 0; r < int(parsed.cards.size()); ++r) {
        const exchange::ImportedCard &card = parsed.cards[size_t(r)];
        table->setItem(r, 0, cell(card.side1));
        table->setItem(r, 1, cell(card.side2));
        QString category = ui_->targetCombo->currentData().toString();
        // Nested lessons are shown as a path below the target.
        if (card.category >= 0) {
            QStringList path;
            for (int c = card.category; c >= 0 && size_t(c) < parsed.categories.size();
                 c = parsed.categories[size_t(c)].parent)
                path.prepend(parsed.categories[size_t(c)].name);
            category = path.join(QStringLiteral(" / "));
        }
        table->setItem(r, 2, cell(category));
    }

    QString info;
    if (!parsed.error.isEmpty() && parsed.cards.empty()) {
        info = parsed.error;
    } else {
        info = parsed.format == exchange::Format::Apkg
                   ? tr("Read as %1").arg(formatName(parsed.format))
                   : tr("Read as %1 in %2").arg(formatName(parsed.format), encodingName(parsed.encoding));
        if (delimited) {
            info += tr(", %1-separated").arg(delimiterName(parsed.delimiter));
            if (parsed.header)
                info += tr(", first line a header");
        }
        info += QLatin1Char('.');
        if (parsed.unreadable > 0)
            info += QLatin1Char(' ')
                    + tr("%1 lines could not be read (the first at line %2: %3).")
                          .arg(parsed.unreadable).arg(parsed.firstBadLine).arg(parsed.firstBadReason);
        if (!parsed.note.isEmpty())
            info += QLatin1Char(' ') + parsed.note + QLatin1Char('.');
    }
    ui_->previewInfo->setText(info);
    ui_->buttons->button(QDialogButtonBox::Ok)->setEnabled(!parsed.cards.empty());
}

} // namespace mdk
