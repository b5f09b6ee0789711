#include "tools/table_copy/TableCopy.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <variant>

// Neither library's header declares C linkage itself.
extern "C" {
#include <mdbtools.h>
#include <paradox.h>
}

namespace tablecopy {

namespace {

// The day number of 1 January 1970 in the engines' count from 30 December 1899.
constexpr std::int64_t kUnixEpochDay = 25569;
// Paradox counts days from 1 January 0001 (day 1); this is 30 December 1899 in that count.
constexpr double kParadoxDayOfJetEpoch = 693594.0;
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr int kSecondsPerDay = 86400;

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

// One table of the target: its creation and a prepared insert of whole rows.
class TargetTable {
public:
    TargetTable(SQLite::Database& db, const std::string& name,
                const std::vector<std::pair<std::string, std::string>>& columns) {
        if (columns.empty()) {
            throw CopyError("the table '" + name + "' has no columns");
        }
        std::string create = "CREATE TABLE " + Quote(name) + " (";
        std::string insert = "INSERT INTO " + Quote(name) + " VALUES (";
        for (std::size_t i = 0; i < columns.size(); ++i) {
            create += (i ? ", " : "") + Quote(columns[i].first) + " " + columns[i].second;
            insert += i ? ", ?" : "?";
        }
        try {
            db.exec(create + ")");
        } catch (const SQLite::Exception& e) {
            throw CopyError("the table '" + name + "' cannot be copied: " + e.what());
        }
        insert_ = std::make_unique<SQLite::Statement>(db, insert + ")");
        width_ = static_cast<int>(columns.size());
    }

    void addRow(const std::vector<Value>& row) {
        for (int i = 0; i < width_; ++i) {
            const Value& value = row[static_cast<std::size_t>(i)];
            if (const auto* number = std::get_if<std::int64_t>(&value)) {
                insert_->bind(i + 1, static_cast<int64_t>(*number));
            } else if (const auto* real = std::get_if<double>(&value)) {
                insert_->bind(i + 1, *real);
            } else if (const auto* text = std::get_if<std::string>(&value)) {
                insert_->bind(i + 1, *text);
            } else {
                insert_->bind(i + 1);
            }
        }
        insert_->exec();
        insert_->reset();
    }

    static std::string Quote(const std::string& name) {
        std::string quoted = "\"";
        for (const char c : name) {
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        }
        return quoted + "\"";
    }

private:
    std::unique_ptr<SQLite::Statement> insert_;
    int width_ = 0;
};

// A date as its text, Null outside the engines' range.
Value DateValue(double days) {
    std::string text = DateText(days);
    return text.empty() ? Value{} : Value{std::move(text)};
}

// A time of day, "hh:mm:ss", from its seconds.
std::string TimeText(int seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

// ---- Access ----

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableCloser {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};

std::string JetType(const MdbHandle& mdb, const MdbColumn& column) {
    switch (column.col_type) {
    case MDB_BOOL:
        return "BOOLEAN";
    case MDB_BYTE:
        return "TINYINT";
    case MDB_INT:
        return "SMALLINT";
    case MDB_LONGINT:
        return "INTEGER";
    case MDB_MONEY:
        return "CURRENCY";
    case MDB_FLOAT:
        return "FLOAT";
    case MDB_DOUBLE:
        return "DOUBLE";
    case MDB_DATETIME:
        return "DATETIME";
    case MDB_TEXT: {
        // Jet 4 keeps texts in UCS-2: the size is in bytes, two for each character.
        const int chars =
            mdb.f->jet_version == MDB_VER_JET3 ? column.col_size : column.col_size / 2;
        return "TEXT(" + std::to_string(chars) + ")";
    }
    case MDB_MEMO:
        return "LONGTEXT";
    case MDB_REPID:
        return "GUID";
    case MDB_NUMERIC:
        return "DECIMAL";
    default:
        return "BLOB";
    }
}

bool IsBoundAsText(int type) {
    return type == MDB_TEXT || type == MDB_MEMO || type == MDB_REPID || type == MDB_NUMERIC ||
           type == MDB_BOOL;
}

// A fixed-size value straight from the row's page: libmdb's own texts of numbers keep fewer
// digits than a double holds.
Value RawValue(const MdbHandle& mdb, const MdbColumn& column) {
    const int start = column.cur_value_start;
    if (column.cur_value_len == 0) {
        return {};
    }
    int size = 0;
    switch (column.col_type) {
    case MDB_BYTE:
        size = 1;
        break;
    case MDB_INT:
        size = 2;
        break;
    case MDB_LONGINT:
    case MDB_FLOAT:
        size = 4;
        break;
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_MONEY:
        size = 8;
        break;
    default:
        return {};
    }
    if (start < 0 || start + size > MDB_PGSIZE || column.cur_value_len < size) {
        throw CopyError("a value of the column '" + std::string(column.name) +
                        "' lies outside its page");
    }
    void* const page = const_cast<unsigned char*>(mdb.pg_buf);
    switch (column.col_type) {
    case MDB_BYTE:
        return static_cast<std::int64_t>(mdb_get_byte(page, start));
    case MDB_INT:
        return static_cast<std::int64_t>(static_cast<std::int16_t>(mdb_get_int16(page, start)));
    case MDB_LONGINT:
        return static_cast<std::int64_t>(static_cast<std::int32_t>(mdb_get_int32(page, start)));
    case MDB_FLOAT:
        return static_cast<double>(mdb_get_single(page, start));
    case MDB_DOUBLE:
        return mdb_get_double(page, start);
    case MDB_DATETIME: {
        return DateValue(mdb_get_double(page, start));
    }
    default: { // MDB_MONEY: a 64-bit count of ten-thousandths
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) {
            bits = (bits << 8) | mdb_get_byte(page, start + i);
        }
        return static_cast<double>(static_cast<std::int64_t>(bits)) / 10000.0;
    }
    }
}

Value BoundValue(const MdbColumn& column, const std::vector<char>& buffer, int length) {
    const std::string text(buffer.data(),
                           static_cast<std::size_t>(std::clamp(length, 0, kMaxValueBytes)));
    switch (column.col_type) {
    case MDB_BOOL:
        return static_cast<std::int64_t>(text == "1" ? -1 : 0);
    case MDB_NUMERIC:
        return text.empty() ? Value{} : Value{std::strtod(text.c_str(), nullptr)};
    default:
        return length == 0 ? Value{} : Value{text};
    }
}

void CopyJetTable(MdbHandle& mdb, MdbCatalogEntry& entry, SQLite::Database& target, Scope scope) {
    const std::string name = entry.object_name;
    const std::unique_ptr<MdbTableDef, TableCloser> table(mdb_read_table(&entry));
    if (!table || !mdb_read_columns(table.get()) || table->num_cols > MDB_MAX_COLS) {
        throw CopyError("the table '" + name + "' cannot be read");
    }
    std::vector<MdbColumn*> columns;
    std::vector<std::pair<std::string, std::string>> definitions;
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns.push_back(column);
        definitions.emplace_back(column->name, JetType(mdb, *column));
    }
    TargetTable copy(target, name, definitions);
    if (scope == Scope::SchemaOnly) {
        return;
    }
    std::vector<std::vector<char>> buffers(columns.size());
    std::vector<int> lengths(columns.size(), 0);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (IsBoundAsText(columns[i]->col_type)) {
            buffers[i].assign(mdb.bind_size + 1, '\0');
            mdb_bind_column(table.get(), static_cast<int>(i) + 1, buffers[i].data(), &lengths[i]);
        }
    }
    mdb_rewind_table(table.get());
    std::vector<Value> row(columns.size());
    while (mdb_fetch_row(table.get())) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            row[i] = IsBoundAsText(columns[i]->col_type)
                         ? BoundValue(*columns[i], buffers[i], lengths[i])
                         : RawValue(mdb, *columns[i]);
        }
        copy.addRow(row);
    }
}

} // namespace

std::string DateText(double days) {
    if (!std::isfinite(days)) {
        return {};
    }
    const double whole = std::trunc(days);
    // 1 January 100 and 31 December 9999, the range of the Access engine's dates.
    if (whole < -657434.0 || whole > 2958465.0) {
        return {};
    }
    auto day = static_cast<std::int64_t>(whole);
    auto seconds =
        static_cast<std::int64_t>(std::llround(std::fabs(days - whole) * kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++day;
    }
    // Civil date from a count of days since 1970-01-01 (H. Hinnant's algorithm).
    const std::int64_t z = day - kUnixEpochDay + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const auto d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const auto m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const auto y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    if (seconds == 0) {
        return text;
    }
    return std::string(text) + " " + TimeText(static_cast<int>(seconds));
}

void CopyJetTables(const std::string& source, SQLite::Database& target, Scope scope,
                   const std::vector<std::string>& tables) {
    const std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(source.c_str(), MDB_NOFLAGS));
    if (!mdb) {
        throw CopyError("it is not an Access database");
    }
    mdb_set_bind_size(mdb.get(), kMaxValueBytes);
    mdb_set_boolean_fmt_numbers(mdb.get());
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE)) {
        throw CopyError("its list of tables cannot be read");
    }
    std::vector<MdbCatalogEntry*> chosen;
    for (const std::string& wanted : tables) {
        chosen.push_back(nullptr);
        for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry) &&
                g_ascii_strcasecmp(wanted.c_str(), entry->object_name) == 0) {
                chosen.back() = entry;
            }
        }
        if (chosen.back() == nullptr) {
            throw CopyError("it has no table '" + wanted + "'");
        }
    }
    if (tables.empty()) {
        for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) {
                chosen.push_back(entry);
            }
        }
    }
    SQLite::Transaction transaction(target);
    for (MdbCatalogEntry* entry : chosen) {
        CopyJetTable(*mdb, *entry, target, scope);
    }
    transaction.commit();
}

// ---- Paradox ----

namespace {

struct PxDocument {
    PxDocument() {
        PX_boot();
        doc = PX_new3(KeepError, nullptr, nullptr, nullptr, this);
    }
    ~PxDocument() {
        if (doc != nullptr) {
            if (opened) {
                PX_close(doc);
            }
            PX_delete(doc);
        }
        PX_shutdown();
    }
    PxDocument(const PxDocument&) = delete;
    PxDocument& operator=(const PxDocument&) = delete;

    static void KeepError(pxdoc_t*, int, const char* message, void* data) {
        static_cast<PxDocument*>(data)->error = message != nullptr ? message : "";
    }

    pxdoc_t* doc = nullptr;
    bool opened = false;
    std::string error;
};

std::string ParadoxType(const pxfield_t& field) {
    switch (field.px_ftype) {
    case pxfAlpha:
        return "TEXT(" + std::to_string(field.px_flen) + ")";
    case pxfDate:
        return "DATE";
    case pxfShort:
        return "SMALLINT";
    case pxfLong:
    case pxfAutoInc:
        return "INTEGER";
    case pxfCurrency:
        return "CURRENCY";
    case pxfNumber:
        return "DOUBLE";
    case pxfLogical:
        return "BOOLEAN";
    case pxfTime:
        return "TIME";
    case pxfTimestamp:
        return "DATETIME";
    case pxfBCD:
        return "DECIMAL";
    default:
        return "BLOB";
    }
}

Value ParadoxValue(pxdoc_t* doc, const pxfield_t& field, char* data) {
    const int length = field.px_flen;
    switch (field.px_ftype) {
    case pxfAlpha: {
        char* text = nullptr;
        if (PX_get_data_alpha(doc, data, length, &text) <= 0 || text == nullptr) {
            return {};
        }
        std::string value(text);
        doc->free(doc, text);
        return value;
    }
    case pxfShort: {
        short number = 0;
        return PX_get_data_short(doc, data, length, &number) > 0
                   ? Value{static_cast<std::int64_t>(number)}
                   : Value{};
    }
    case pxfLong:
    case pxfAutoInc:
    case pxfDate:
    case pxfTime: {
        long number = 0;
        if (PX_get_data_long(doc, data, length, &number) <= 0) {
            return {};
        }
        if (field.px_ftype == pxfDate) {
            return DateValue(static_cast<double>(number) - kParadoxDayOfJetEpoch);
        }
        if (field.px_ftype == pxfTime) {
            return TimeText(static_cast<int>((number / 1000 % kSecondsPerDay + kSecondsPerDay) %
                                             kSecondsPerDay));
        }
        return static_cast<std::int64_t>(number);
    }
    case pxfNumber:
    case pxfCurrency:
    case pxfTimestamp: {
        double number = 0;
        if (PX_get_data_double(doc, data, length, &number) <= 0) {
            return {};
        }
        if (field.px_ftype == pxfTimestamp) {
            return DateValue(number / kMillisecondsPerDay - kParadoxDayOfJetEpoch);
        }
        return number;
    }
    case pxfLogical: {
        char flag = 0;
        return PX_get_data_byte(doc, data, length, &flag) > 0
                   ? Value{static_cast<std::int64_t>(flag != 0 ? -1 : 0)}
                   : Value{};
    }
    case pxfBCD: {
        char* text = nullptr;
        if (PX_get_data_bcd(doc, reinterpret_cast<unsigned char*>(data), length, &text) <= 0 ||
            text == nullptr) {
            return {};
        }
        const double number = std::strtod(text, nullptr);
        doc->free(doc, text);
        return number;
    }
    default:
        return {};
    }
}

} // namespace

void CopyParadoxTable(const std::string& source, const std::string& name, SQLite::Database& target,
                      Scope scope) {
    // pxlib reads the header's field list without minding the end of the file, and loops on a
    // file cut inside it.
    std::FILE* const file = std::fopen(source.c_str(), "rb");
    if (file == nullptr) {
        throw CopyError("it cannot be opened");
    }
    unsigned char head[4] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    const long headerSize = head[2] | (head[3] << 8);
    if (got < sizeof head || size < headerSize) {
        throw CopyError("it is cut short inside its header");
    }
    PxDocument px;
    if (px.doc == nullptr) {
        throw CopyError("the Paradox library cannot start");
    }
    if (PX_open_file(px.doc, source.c_str()) < 0) {
        throw CopyError("it is not a Paradox table" + (px.error.empty() ? "" : ": " + px.error));
    }
    px.opened = true;
    // pxlib converts the texts from the table's code page.
    if (PX_set_targetencoding(px.doc, "UTF-8") != 0) {
        throw CopyError("its texts cannot be converted" +
                        (px.error.empty() ? "" : ": " + px.error));
    }
    const int count = PX_get_num_fields(px.doc);
    pxfield_t* const fields = PX_get_fields(px.doc);
    const int recordSize = PX_get_recordsize(px.doc);
    if (count <= 0 || fields == nullptr || recordSize <= 0) {
        throw CopyError("its list of fields cannot be read");
    }
    std::vector<std::pair<std::string, std::string>> definitions;
    int width = 0;
    for (int i = 0; i < count; ++i) {
        const char* fieldName = fields[i].px_fname != nullptr ? fields[i].px_fname : "";
        definitions.emplace_back(fieldName, ParadoxType(fields[i]));
        width += fields[i].px_flen;
    }
    if (width > recordSize) {
        throw CopyError("its fields do not fit its records");
    }
    SQLite::Transaction transaction(target);
    TargetTable copy(target, name, definitions);
    if (scope == Scope::Rows) {
        std::vector<char> record(static_cast<std::size_t>(recordSize));
        std::vector<Value> row(static_cast<std::size_t>(count));
        const int records = PX_get_num_records(px.doc);
        for (int r = 0; r < records; ++r) {
            if (PX_get_record(px.doc, r, record.data()) == nullptr) {
                throw CopyError("its record " + std::to_string(r + 1) + " cannot be read" +
                                (px.error.empty() ? "" : ": " + px.error));
            }
            char* at = record.data();
            for (int i = 0; i < count; ++i) {
                row[static_cast<std::size_t>(i)] = ParadoxValue(px.doc, fields[i], at);
                at += fields[i].px_flen;
            }
            copy.addRow(row);
        }
    }
    transaction.commit();
}

} // namespace tablecopy
