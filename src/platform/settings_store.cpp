#include "platform/settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <limits>

namespace velmora {
namespace {

const QString kOrganisation = QStringLiteral("Tandrel");
const QString kApplication = QStringLiteral("Velmora");
const QString kGroup = QStringLiteral("Options");

QString Key(const std::string& name) { return kGroup + u'/' + QString::fromStdString(name); }

bool FitsInt32(qlonglong value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

bool IsNumberType(int typeId) {
  return typeId == QMetaType::Int || typeId == QMetaType::UInt || typeId == QMetaType::LongLong ||
         typeId == QMetaType::ULongLong;
}

}  // namespace

struct QtSettingsStore::Impl {
  explicit Impl(const std::string& path) : settings(QString::fromStdString(path), QSettings::IniFormat) {}
  Impl() : settings(kOrganisation, kApplication) {}
  QSettings settings;
};

QtSettingsStore::QtSettingsStore() : m_impl(std::make_unique<Impl>()) {}

QtSettingsStore::QtSettingsStore(const std::string& iniFilePath)
    : m_impl(std::make_unique<Impl>(iniFilePath)) {}

QtSettingsStore::~QtSettingsStore() = default;

// An INI file keeps no types: a number written earlier comes back as the text of its digits.
// So a text that is a whole decimal number in range counts as a number, and a number counts as
// a text; byte arrays and lists are never either.
std::optional<std::int32_t> QtSettingsStore::ReadNumber(const std::string& name) {
  const QVariant value = m_impl->settings.value(Key(name));
  const int type = value.typeId();
  bool ok = false;
  qlonglong number = 0;
  if (type == QMetaType::QString) {
    number = value.toString().toLongLong(&ok, 10);
  } else if (type == QMetaType::UInt || type == QMetaType::ULongLong) {
    const qulonglong unsignedNumber = value.toULongLong(&ok);
    ok = ok && unsignedNumber <= static_cast<qulonglong>(std::numeric_limits<std::int32_t>::max());
    number = static_cast<qlonglong>(unsignedNumber);
  } else if (IsNumberType(type)) {
    number = value.toLongLong(&ok);
  }
  if (!ok || !FitsInt32(number)) return std::nullopt;
  return static_cast<std::int32_t>(number);
}

std::optional<std::string> QtSettingsStore::ReadText(const std::string& name) {
  const QVariant value = m_impl->settings.value(Key(name));
  const int type = value.typeId();
  if (type != QMetaType::QString && !IsNumberType(type)) return std::nullopt;
  return value.toString().toStdString();
}

std::optional<std::vector<std::uint8_t>> QtSettingsStore::ReadBytes(const std::string& name) {
  const QVariant value = m_impl->settings.value(Key(name));
  if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
  const QByteArray bytes = value.toByteArray();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void QtSettingsStore::WriteNumber(const std::string& name, std::int32_t value) {
  m_impl->settings.setValue(Key(name), static_cast<int>(value));
}

void QtSettingsStore::WriteText(const std::string& name, const std::string& value) {
  m_impl->settings.setValue(Key(name), QString::fromStdString(value));
}

void QtSettingsStore::WriteBytes(const std::string& name, const std::vector<std::uint8_t>& value) {
  const QByteArray bytes(reinterpret_cast<const char*>(value.data()), static_cast<qsizetype>(value.size()));
  m_impl->settings.setValue(Key(name), bytes);
}

bool QtSettingsStore::Sync() {
  m_impl->settings.sync();
  return m_impl->settings.status() == QSettings::NoError;
}

}  // namespace velmora
