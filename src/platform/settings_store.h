#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// Named values of three kinds: 32-bit numbers, texts and raw bytes. A read yields nothing when
// the value is absent or holds another kind, so callers keep their defaults.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  virtual std::optional<std::int32_t> ReadNumber(const std::string& name) = 0;
  virtual std::optional<std::string> ReadText(const std::string& name) = 0;
  virtual std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& name) = 0;

  virtual void WriteNumber(const std::string& name, std::int32_t value) = 0;
  virtual void WriteText(const std::string& name, const std::string& value) = 0;
  virtual void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& value) = 0;

  // Pushes written values to permanent storage; false when that failed.
  virtual bool Sync() = 0;
};

// The user's settings file (organisation "Tandrel", application "Velmora", group "Options"), or
// an explicit INI file for tests and portable setups.
class QtSettingsStore final : public SettingsStore {
 public:
  QtSettingsStore();
  explicit QtSettingsStore(const std::string& iniFilePath);
  ~QtSettingsStore() override;
  QtSettingsStore(const QtSettingsStore&) = delete;
  QtSettingsStore& operator=(const QtSettingsStore&) = delete;

  std::optional<std::int32_t> ReadNumber(const std::string& name) override;
  std::optional<std::string> ReadText(const std::string& name) override;
  std::optional<std::vector<std::uint8_t>> ReadBytes(const std::string& name) override;

  void WriteNumber(const std::string& name, std::int32_t value) override;
  void WriteText(const std::string& name, const std::string& value) override;
  void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& value) override;

  bool Sync() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace velmora
