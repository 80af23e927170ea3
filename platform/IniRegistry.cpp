#include "platform/IniRegistry.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "platform/Text.h"

namespace tw {

namespace {

// Names are escaped so that QSettings never sees its group separators ('/' and '\', which it
// treats alike) inside one name; '@' stands for the default value's empty name; a lone '%' (which
// escaping never produces) is the entry that marks a key as existing.
const QString kMarker = QStringLiteral("%");
const QString kDefaultName = QStringLiteral("@");

QString toQ(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

QString encodeName(std::u16string_view name) {
    if (name.empty()) return kDefaultName;
    QString out;
    out.reserve(static_cast<qsizetype>(name.size()));
    for (const char16_t c : name) {
        switch (c) {
            case u'%':
                out += QStringLiteral("%25");
                break;
            case u'/':
                out += QStringLiteral("%2F");
                break;
            case u'\\':
                out += QStringLiteral("%5C");
                break;
            case u'@':
                out += QStringLiteral("%40");
                break;
            default:
                out += QChar(c);
        }
    }
    return out;
}

std::u16string decodeName(const QString& stored) {
    if (stored == kDefaultName) return {};
    std::u16string out;
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const char16_t c = stored.at(i).unicode();
        if (c == u'%' && i + 2 < stored.size()) {
            const QString code = stored.mid(i + 1, 2).toUpper();
            const char16_t decoded = code == QLatin1String("25")   ? u'%'
                                     : code == QLatin1String("2F") ? u'/'
                                     : code == QLatin1String("5C") ? u'\\'
                                     : code == QLatin1String("40") ? u'@'
                                                                   : 0;
            if (decoded != 0) {
                out.push_back(decoded);
                i += 2;
                continue;
            }
        }
        out.push_back(c);
    }
    return out;
}

const char* const kHex = "0123456789abcdef";

QString hexOf(const std::uint8_t* data, std::size_t size) {
    QString out;
    out.reserve(static_cast<qsizetype>(size * 2));
    for (std::size_t i = 0; i < size; ++i) {
        out += QLatin1Char(kHex[data[i] >> 4]);
        out += QLatin1Char(kHex[data[i] & 15]);
    }
    return out;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

bool parseHex(QStringView text, std::vector<std::uint8_t>* out) {
    if (text.size() % 2 != 0 || static_cast<std::size_t>(text.size() / 2) > kRegistryMaxData) return false;
    out->clear();
    out->reserve(static_cast<std::size_t>(text.size() / 2));
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

// Text that the INI file keeps as it is: no NUL or other control characters beyond tab and line
// breaks (which QSettings escapes), and no unpaired surrogates (which UTF-8 cannot carry).
bool isPlainText(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

QString encodeValue(const RegistryValue& value) {
    switch (value.type) {
        case RegistryType::Dword:
            return QStringLiteral("dword:%1").arg(value.dword, 8, 16, QLatin1Char('0'));
        case RegistryType::String: {
            if (isPlainText(value.text)) return QStringLiteral("sz:") + toQ(value.text);
            std::vector<std::uint8_t> le;
            le.reserve(value.text.size() * 2);
            for (const char16_t c : value.text) {
                le.push_back(static_cast<std::uint8_t>(c & 0xFF));
                le.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            return QStringLiteral("sz16:") + hexOf(le.data(), le.size());
        }
        case RegistryType::Binary:
            return QStringLiteral("hex:") + hexOf(value.bytes.data(), value.bytes.size());
        case RegistryType::None:
            break;
    }
    return {};
}

std::optional<RegistryValue> decodeValue(const QString& stored) {
    const QStringView s(stored);
    RegistryValue v;
    if (s.startsWith(QLatin1String("dword:"))) {
        const QStringView digits = s.mid(6);
        if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
        std::uint32_t n = 0;
        for (const QChar c : digits) {
            const int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            n = n * 16 + static_cast<std::uint32_t>(d);
        }
        return RegistryValue::ofDword(n);
    }
    if (s.startsWith(QLatin1String("sz:"))) {
        if (static_cast<std::size_t>(s.size() - 3) > kRegistryMaxData) return std::nullopt;
        return RegistryValue::ofString(s.mid(3).toString().toStdU16String());
    }
    if (s.startsWith(QLatin1String("sz16:"))) {
        std::vector<std::uint8_t> le;
        if (!parseHex(s.mid(5), &le) || le.size() % 2 != 0) return std::nullopt;
        std::u16string text;
        for (std::size_t i = 0; i < le.size(); i += 2) text.push_back(static_cast<char16_t>(le[i] | (le[i + 1] << 8)));
        return RegistryValue::ofString(std::move(text));
    }
    if (s.startsWith(QLatin1String("hex:"))) {
        if (!parseHex(s.mid(4), &v.bytes)) return std::nullopt;
        v.type = RegistryType::Binary;
        return v;
    }
    return std::nullopt;
}

QString join(const QString& group, const QString& name) {
    return group.isEmpty() ? name : group + u'/' + name;
}

QStringList childGroups(QSettings& s, const QString& group) {
    s.beginGroup(group);
    QStringList names = s.childGroups();
    s.endGroup();
    return names;
}

QStringList childKeys(QSettings& s, const QString& group) {
    s.beginGroup(group);
    QStringList names = s.childKeys();
    s.endGroup();
    names.removeAll(kMarker);
    return names;
}

// The stored spelling of `name` among `stored` names, compared without regard to case.
std::optional<QString> match(const QStringList& stored, std::u16string_view name) {
    for (const QString& candidate : stored) {
        if (equalNoCase(decodeName(candidate), name)) return candidate;
    }
    return std::nullopt;
}

std::vector<std::u16string> sortedNames(const QStringList& stored) {
    std::vector<std::u16string> names;
    names.reserve(static_cast<std::size_t>(stored.size()));
    for (const QString& s : stored) names.push_back(decodeName(s));
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return compareNoCase(a, b) < 0; });
    return names;
}

}  // namespace

struct IniRegistry::Impl {
    QSettings currentUser;
    QSettings classesRoot;

    explicit Impl(const QString& folder)
        : currentUser(folder + QStringLiteral("/registry-hkcu.ini"), QSettings::IniFormat),
          classesRoot(folder + QStringLiteral("/registry-hkcr.ini"), QSettings::IniFormat) {}

    // Picks up changes other processes made since the last call.
    QSettings& hive(RegistryRoot root) {
        QSettings& s = root == RegistryRoot::CurrentUser ? currentUser : classesRoot;
        s.sync();
        return s;
    }

    static bool commit(QSettings& s) {
        s.sync();
        return s.status() == QSettings::NoError;
    }

    // The group of an existing key, or nullopt.
    static std::optional<QString> resolve(QSettings& s, std::u16string_view path) {
        const auto parts = splitRegistryPath(path);
        if (!parts) return std::nullopt;
        QString group;
        for (const auto& part : *parts) {
            const auto stored = match(childGroups(s, group), part);
            if (!stored) return std::nullopt;
            group = join(group, *stored);
        }
        return group;
    }
};

IniRegistry::IniRegistry(std::string folder)
    : m_folder(folder.empty() ? defaultFolder() : std::move(folder)),
      m_impl(std::make_unique<Impl>(QString::fromStdString(m_folder))) {
    QDir().mkpath(QString::fromStdString(m_folder));
}

IniRegistry::~IniRegistry() = default;

std::string IniRegistry::defaultFolder() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/halvorsgarden"))
        .toStdString();
}

bool IniRegistry::createKey(RegistryRoot root, std::u16string_view path, bool* created) {
    if (created) *created = false;
    const auto parts = splitRegistryPath(path);
    if (!parts) return false;
    QSettings& s = m_impl->hive(root);
    QString group;
    bool made = false;
    for (const auto& part : *parts) {
        if (const auto stored = match(childGroups(s, group), part)) {
            group = join(group, *stored);
            continue;
        }
        group = join(group, encodeName(part));
        s.setValue(join(group, kMarker), QString());
        made = true;
    }
    if (made && !Impl::commit(s)) return false;
    if (created) *created = made;
    return true;
}

bool IniRegistry::openKey(RegistryRoot root, std::u16string_view path) {
    return Impl::resolve(m_impl->hive(root), path).has_value();
}

bool IniRegistry::deleteKey(RegistryRoot root, std::u16string_view path) {
    if (path.empty()) return false;
    QSettings& s = m_impl->hive(root);
    const auto group = Impl::resolve(s, path);
    if (!group) return false;
    s.remove(*group);
    return Impl::commit(s);
}

std::vector<std::u16string> IniRegistry::subKeys(RegistryRoot root, std::u16string_view path) {
    QSettings& s = m_impl->hive(root);
    const auto group = Impl::resolve(s, path);
    return group ? sortedNames(childGroups(s, *group)) : std::vector<std::u16string>{};
}

std::vector<std::u16string> IniRegistry::valueNames(RegistryRoot root, std::u16string_view path) {
    QSettings& s = m_impl->hive(root);
    const auto group = Impl::resolve(s, path);
    return group ? sortedNames(childKeys(s, *group)) : std::vector<std::u16string>{};
}

std::optional<RegistryValue> IniRegistry::readValue(RegistryRoot root, std::u16string_view path,
                                                    std::u16string_view name) {
    QSettings& s = m_impl->hive(root);
    const auto group = Impl::resolve(s, path);
    if (!group) return std::nullopt;
    const auto stored = match(childKeys(s, *group), name);
    if (!stored) return std::nullopt;
    return decodeValue(s.value(join(*group, *stored)).toString());
}

bool IniRegistry::writeValue(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                             const RegistryValue& value) {
    if (!isStorableRegistryValue(name, value)) return false;
    QSettings& s = m_impl->hive(root);
    const auto group = Impl::resolve(s, path);
    if (!group) return false;
    const auto stored = match(childKeys(s, *group), name);
    s.setValue(join(*group, stored ? *stored : encodeName(name)), encodeValue(value));
    return Impl::commit(s);
}

bool IniRegistry::deleteValue(RegistryRoot root, std::u16string_view path, std::u16string_view name) {
    QSettings& s = m_impl->hive(root);
    const auto group = Impl::resolve(s, path);
    if (!group) return false;
    const auto stored = match(childKeys(s, *group), name);
    if (!stored) return false;
    s.remove(join(*group, *stored));
    return Impl::commit(s);
}

bool IniRegistry::flush() {
    return Impl::commit(m_impl->currentUser) && Impl::commit(m_impl->classesRoot);
}

}  // namespace tw
