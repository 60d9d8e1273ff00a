#include "worksheet/TableFile.h"

#include "accountset/AccountSetErrors.h"
#include "accountset/OutsideText.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "records/FieldValue.h"
#include "worksheet/WriteFailure.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <csv.h>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

// A full disk is no fault of the user's input: the export goes through once there is room.
[[noreturn]] void raiseNoRoom(const QString &path)
{
    throw AllocFix::Failure(AccountSetError::Full,
                            LoadLangString(u"无法写入 %1：磁盘没有剩余空间。请腾出空间后重试。"_s)
                                .arg(OutsideText::shown(path)),
                            u"allocfix"_s);
}

[[noreturn]] void raiseWriteFailure(const QString &path, const QString &why)
{
    if (noRoomBeside(path))
        raiseNoRoom(path);
    raiseCannotWrite(path, why);
}

// libxlsxwriter reports its own errors on stderr ("[ERROR] ... packager.c"); the program
// reports them as its one line instead.
lxw_error closeQuietly(lxw_workbook *workbook)
{
    std::fflush(stderr);
    const int kept = dup(STDERR_FILENO);
    const int discard = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (kept >= 0 && discard >= 0)
        dup2(discard, STDERR_FILENO);
    if (discard >= 0)
        close(discard);
    const lxw_error error = workbook_close(workbook);
    std::fflush(stderr);
    if (kept >= 0) {
        dup2(kept, STDERR_FILENO);
        close(kept);
    }
    return error;
}

// What a spreadsheet program reads a formula from at the start of a text cell, after OWASP's
// list of CSV injection.
constexpr QStringView FormulaStarts = u"=+-@\t\r";

QString cellText(const QVariant &cell)
{
    if (cell.typeId() == QMetaType::Double)
        return AllocFix::formatNumber(cell.toDouble());
    QString text = cell.toString();
    // A spreadsheet program would run a text such as "=HYPERLINK(...)" from the account set as a
    // formula; the apostrophe keeps it a text (TableFile::plainText takes it off again).
    if (!text.isEmpty() && FormulaStarts.contains(text.front()))
        text.prepend(u'\'');
    return text;
}

class CsvTable final : public TableFile {
public:
    CsvTable(QString path, const QString &writePath)
        : m_path(std::move(path))
        , m_file(writePath)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            raiseWriteFailure(m_path, m_file.errorString());
        m_file.write("\xEF\xBB\xBF");
    }

    void addSheet(const QString &, const QList<Column> &columns, int) override
    {
        if (++m_sheets != 1)
            return;
        QVariantList headers;
        for (const Column &column : columns)
            headers.append(column.header);
        addRow(headers);
    }

    void addRow(const QVariantList &cells) override
    {
        if (m_sheets != 1)
            return;
        QByteArray line;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QByteArray text = cellText(cells[c]).toUtf8();
            QByteArray quoted(2 * text.size() + 2, Qt::Uninitialized);
            quoted.resize(static_cast<qsizetype>(
                csv_write(quoted.data(), static_cast<size_t>(quoted.size()), text.constData(),
                          static_cast<size_t>(text.size()))));
            if (c > 0)
                line += ',';
            line += quoted;
        }
        line += "\r\n";
        m_file.write(line);
    }

    void finish() override
    {
        // The last lines wait in the file's buffer: only the flush tells that the disk took none
        // of them.
        if (!m_file.flush() || m_file.error() != QFileDevice::NoError) {
            if (m_file.error() == QFileDevice::ResourceError)
                raiseNoRoom(m_path);
            raiseWriteFailure(m_path, m_file.errorString());
        }
        m_file.close();
    }

private:
    QString m_path;
    QFile m_file; // closed before the caller removes or moves it
    int m_sheets = 0;
};

class XlsxTable final : public TableFile {
public:
    XlsxTable(QString path, const QString &writePath)
        : m_path(std::move(path))
        , m_writePath(writePath)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE; // rows go straight to disk: 100,000 lines stay small
        // The library writes the file by its name.
        m_workbook = workbook_new_opt(QFile::encodeName(m_writePath).constData(), &options);
        if (!m_workbook)
            raiseCannotWrite(m_path, LoadLangString(u"电子表格库无法创建它"_s));
        m_header = workbook_add_format(m_workbook);
        format_set_bold(m_header);
        format_set_bg_color(m_header, 0xD9D9D9);
        format_set_bottom(m_header, LXW_BORDER_THIN);
        m_headerToFill = workbook_add_format(m_workbook);
        format_set_bold(m_headerToFill);
        format_set_bg_color(m_headerToFill, 0xFFE699);
        format_set_bottom(m_headerToFill, LXW_BORDER_THIN);
        m_toFill = workbook_add_format(m_workbook);
        format_set_bg_color(m_toFill, 0xFFF2CC);
        format_set_num_format(m_toFill, "@"); // "01.01" and "5101.10" stay as typed
        m_lines = workbook_add_format(m_workbook);
        format_set_text_wrap(m_lines);
        format_set_align(m_lines, LXW_ALIGN_VERTICAL_TOP);
    }

    ~XlsxTable() override
    {
        if (m_workbook)
            closeQuietly(m_workbook);
    }

    void addSheet(const QString &name, const QList<Column> &columns, int frozenColumns) override
    {
        finishSheet();
        m_sheet = workbook_add_worksheet(m_workbook, name.toUtf8().constData());
        if (!m_sheet)
            raiseCannotWrite(m_path, LoadLangString(u"工作表不能命名为“%1”"_s).arg(name));
        m_row = 0;
        m_columns = columns;
        for (int c = 0; c < columns.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            worksheet_set_column(m_sheet, col, col, columns[c].width,
                                 columns[c].toFill ? m_toFill : nullptr);
            worksheet_write_string(m_sheet, 0, col, columns[c].header.toUtf8().constData(),
                                   columns[c].toFill ? m_headerToFill : m_header);
        }
        worksheet_freeze_panes(m_sheet, 1, static_cast<lxw_col_t>(frozenColumns));
    }

    void addRow(const QVariantList &cells) override
    {
        if (++m_row >= LXW_ROW_MAX)
            raiseCannotWrite(m_path,
                             LoadLangString(u"一个工作表最多容纳 %1 行"_s).arg(LXW_ROW_MAX));
        for (int c = 0; c < cells.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            lxw_format *format = c < m_columns.size() && m_columns[c].toFill ? m_toFill : nullptr;
            const QVariant &cell = cells[c];
            if (cell.typeId() == QMetaType::Double) {
                worksheet_write_number(m_sheet, m_row, col, cell.toDouble(), format);
            } else if (const QString text = cell.toString(); !text.isEmpty()) {
                if (!format && text.contains(u'\n'))
                    format = m_lines;
                worksheet_write_string(m_sheet, m_row, col, text.toUtf8().constData(), format);
            }
        }
    }

    void offerValues(int column, const QString &sheet, int sourceColumn, int count) override
    {
        if (count < 1)
            return;
        const char letter = static_cast<char>('A' + sourceColumn);
        QString quotedSheet = sheet;
        quotedSheet.replace(u'\'', u"''"_s);
        const QByteArray formula =
            u"='%1'!$%2$2:$%2$%3"_s.arg(quotedSheet, QChar::fromLatin1(letter))
                .arg(count + 1)
                .toUtf8();
        lxw_data_validation validation{};
        validation.validate = LXW_VALIDATION_TYPE_LIST_FORMULA;
        validation.value_formula = const_cast<char *>(formula.constData());
        validation.error_type = LXW_VALIDATION_ERROR_TYPE_INFORMATION;
        const auto col = static_cast<lxw_col_t>(column);
        worksheet_data_validation_range(m_sheet, 1, col, LXW_ROW_MAX - 1, col, &validation);
    }

    void addNote(int column, const QString &text) override
    {
        lxw_comment_options options{};
        options.x_scale = 3;
        options.y_scale = 2;
        worksheet_write_comment_opt(m_sheet, 0, static_cast<lxw_col_t>(column),
                                    text.toUtf8().constData(), &options);
    }

    void finish() override
    {
        finishSheet();
        const lxw_error error = closeQuietly(m_workbook);
        m_workbook = nullptr;
        if (error != LXW_NO_ERROR) {
            if (noRoomBeside(m_writePath))
                raiseNoRoom(m_path);
            raiseCannotWrite(m_path, QString::fromUtf8(lxw_strerror(error)));
        }
    }

private:
    // Lets the header filter the whole sheet.
    void finishSheet()
    {
        if (m_sheet && !m_columns.isEmpty())
            worksheet_autofilter(m_sheet, 0, 0, m_row,
                                 static_cast<lxw_col_t>(m_columns.size() - 1));
    }

    QString m_path;
    QString m_writePath; // the caller removes it only after the workbook is closed
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_headerToFill = nullptr;
    lxw_format *m_toFill = nullptr;
    lxw_format *m_lines = nullptr; // a text of several lines
    QList<Column> m_columns;
    lxw_row_t m_row = 0;
};

} // namespace

std::unique_ptr<TableFile> TableFile::create(const QString &path, const QString &writePath)
{
    if (QFileInfo(path).suffix().compare(u"xlsx"_s, Qt::CaseInsensitive) == 0)
        return std::make_unique<XlsxTable>(path, writePath);
    return std::make_unique<CsvTable>(path, writePath);
}

void TableFile::offerValues(int, const QString &, int, int) {}

void TableFile::addNote(int, const QString &) {}

QString TableFile::plainText(const QString &cell)
{
    if (cell.size() > 1 && cell.front() == u'\'' && FormulaStarts.contains(cell[1]))
        return cell.mid(1);
    return cell;
}

} // namespace FixedAssets
