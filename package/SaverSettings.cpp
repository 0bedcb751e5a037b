#include "package/SaverSettings.h"

#include <array>
#include <optional>
#include <utility>

#include "base/Ini.h"
#include "package/Container.h"
#include "package/FileUtil.h"

namespace vec {
namespace {

// Settings texts are a few kilobytes; anything beyond this is not a settings text.
constexpr size_t kMaxSettingsText = 16u << 20;

using S = ShowSettings;
using T = SettingType;

constexpr SettingKey B(std::string_view sec, std::string_view key, bool S::*f) {
  return {sec, key, T::Boolean, f};
}
constexpr SettingKey I(std::string_view sec, std::string_view key, int32_t S::*f) {
  return {sec, key, T::Integer, f};
}
constexpr SettingKey X(std::string_view sec, std::string_view key, std::string S::*f) {
  return {sec, key, T::Text, f};
}
constexpr SettingKey Fixed(std::string_view sec, std::string_view key, bool S::*f, bool def) {
  return {sec, key, T::Boolean, f, true, def};
}

const std::array<SettingKey, 30> kKeys = {{
    X("General", "ProductName", &S::ProductName),
    X("General", "Publisher", &S::Publisher),
    X("General", "Website", &S::Website),
    B("Default", "Stretch", &S::Stretch),
    B("Default", "Proportional", &S::Proportional),
    B("Default", "Sound", &S::Sound),
    B("Default", "Random", &S::Random),
    I("Default", "Duration", &S::Duration),
    B("Default", "Transition", &S::Transition),
    I("Default", "TransitionTime", &S::TransitionTime),
    X("Default", "TransitionEffects", &S::TransitionEffects),
    B("Default", "Zoom", &S::Zoom),
    B("Default", "LivingZoom", &S::LivingZoom),
    I("Default", "ZoomDuration", &S::ZoomDuration),
    B("Default", "AutoWallpaper", &S::AutoWallpaper),
    I("Default", "Speed", &S::Speed),
    B("Default", "Music", &S::Music),
    B("Default", "Animation", &S::Animation),
    I("Default", "ShowImageMode", &S::ShowImageMode),
    B("Default", "DirectX", &S::DirectX),
    I("Default", "DirectXQuality", &S::DirectXQuality),
    X("Advance", "MusicFile", &S::MusicFile),
    I("Advance", "MusicMode", &S::MusicMode),
    X("Advance", "PreviewFile", &S::PreviewFile),
    I("Build", "BuildMethod", &S::BuildMethod),
    X("Build", "BuildFileName", &S::BuildFileName),
    Fixed("Build", "BuildSmallThumbs", &S::BuildSmallThumbs, true),
    X("Build", "BuildIcon", &S::BuildIcon),
    X("Build", "BuildInstall", &S::BuildInstall),
    Fixed("Build", "CustomIcon", &S::CustomIcon, false),
}};

IniDocument IniFromFile(const std::string& path) {
  std::string text;
  if (!ReadSmallFile(path, text, kMaxSettingsText)) return {};
  return IniDocument::FromText(text);
}

}  // namespace

std::string DefaultTransitionEffects() {
  std::string s;
  for (int i = 1; i <= kEffectCount; ++i) {
    if (i > 1) s += ',';
    s += std::to_string(i);
  }
  return s;
}

void PictureList::Clear() {
  FileNames.clear();
  Checked.clear();
}

void PictureList::LoadFromIni(const IniDocument& ini) {
  Clear();
  for (IniDocument::KeyValue& entry : ini.SectionEntries("FileList")) {
    const std::optional<int32_t> n = entry.value ? ParseIniInteger(*entry.value) : std::nullopt;
    Checked.push_back(n.value_or(0) != 0 ? "TRUE" : "FALSE");
    FileNames.push_back(std::move(entry.key));
  }
}

void PictureList::LoadFromText(std::string_view text) {
  LoadFromIni(IniDocument::FromText(text));
}
void PictureList::LoadFromFile(const std::string& path) {
  LoadFromIni(IniFromFile(path));
}

void PictureList::CheckAll() {
  Checked.assign(FileNames.size(), "TRUE");
}

std::span<const SettingKey> ShowSettings::Keys() {
  return kKeys;
}

SettingValue ShowSettings::Get(const SettingKey& key) const {
  return std::visit([this](auto member) -> SettingValue { return this->*member; }, key.field);
}

void ShowSettings::Set(const SettingKey& key, const SettingValue& value) {
  std::visit(
      [&](auto member) {
        using V = std::remove_reference_t<decltype(this->*member)>;
        if (const V* v = std::get_if<V>(&value)) this->*member = *v;
      },
      key.field);
}

void ShowSettings::LoadFromIni(const IniDocument& ini) {
  for (const SettingKey& k : kKeys) {
    switch (k.type) {
      case SettingType::Boolean: {
        bool& f = this->*std::get<bool S::*>(k.field);
        f = ini.ReadBool(k.section, k.key, k.fixedDefault ? k.fixedValue : f);
        break;
      }
      case SettingType::Integer: {
        int32_t& f = this->*std::get<int32_t S::*>(k.field);
        f = ini.ReadInteger(k.section, k.key, f);
        break;
      }
      case SettingType::Text: {
        std::string& f = this->*std::get<std::string S::*>(k.field);
        f = ini.ReadString(k.section, k.key, f);
        break;
      }
    }
  }
}

void ShowSettings::LoadFromText(std::string_view text) {
  LoadFromIni(IniDocument::FromText(text));
}
void ShowSettings::LoadFromFile(const std::string& path) {
  LoadFromIni(IniFromFile(path));
}

void UiSettings::LoadFromIni(const IniDocument& ini) {
  UIFile = ini.ReadString("UI", "UIFile", UIFile);
}
void UiSettings::LoadFromText(std::string_view text) {
  LoadFromIni(IniDocument::FromText(text));
}
void UiSettings::LoadFromFile(const std::string& path) {
  LoadFromIni(IniFromFile(path));
}

void LoadSettingsTexts(SaverSettings& settings, std::string_view fileList,
                       std::string_view showSettings, std::string_view uiSettings) {
  settings.FileList.LoadFromText(fileList);
  settings.Setting.LoadFromText(showSettings);
  settings.UISetting.LoadFromText(uiSettings);
}

bool LoadSettingsFile(SaverSettings& settings, const std::string& settingsContainer) {
  ErrorOr<RecordsInMemory> read = ReadRecords(settingsContainer, 3, kMaxSettingsText);
  RecordsInMemory r = read.ok() ? read.release_value() : RecordsInMemory{};
  bool usable = read.ok() && (r.count == 3 || r.count == 4);
  // A record the file does not hold loads as an empty text, as an absent file would.
  std::array<std::string, 3> texts;
  if (usable)
    for (size_t i = 0; i < r.records.size() && i < texts.size(); ++i)
      texts[i] = std::move(r.records[i]);
  LoadSettingsTexts(settings, texts[0], texts[1], texts[2]);
  return usable;
}

}  // namespace vec
