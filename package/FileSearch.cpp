#include "package/FileSearch.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/Ini.h"
#include "package/FileUtil.h"

namespace vec {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string_view StoredFileNamePart(std::string_view name) {
  const size_t cut = name.find_last_of("\\/:");
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

std::string_view LocalFileNamePart(std::string_view path) {
  const size_t cut = path.rfind('/');
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view LocalFolderPart(std::string_view path) {
  const size_t cut = path.rfind('/');
  return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut + 1);
}

namespace {

bool IsSearchableName(std::string_view name) {
  return !name.empty() && name != "." && name != "..";
}

}  // namespace

FolderIndex::FolderIndex(const std::string& folder) : folder_(folder), dir_(WithSlash(folder)) {
  if (dir_.empty()) return;
  std::error_code ec;
  fs::directory_iterator it(dir_, ec);
  if (ec) return;
  // Directory order decides which of two names differing only in case a case-blind lookup
  // gets: the first, as a case-blind folder could hold only one of them anyway.
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    // The type the listing gave, a link followed (no stat for plain entries).
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || typeError) continue;
    std::string entry = it->path().filename().string();
    folded_.try_emplace(LowerAscii(entry), entry);
    exact_.insert(std::move(entry));
  }
}

std::string FolderIndex::Find(std::string_view name) const {
  if (!IsSearchableName(name)) return {};
  const std::string key(name);
  if (exact_.count(key)) return dir_ + key;
  auto hit = folded_.find(LowerAscii(name));
  return hit == folded_.end() ? std::string() : dir_ + hit->second;
}

std::string FindInFolder(const std::string& folder, std::string_view name) {
  if (folder.empty() || !IsSearchableName(name)) return {};
  // The exact name needs no listing of the folder.
  const std::string exact = WithSlash(folder) + std::string(name);
  if (IsRegularFile(exact)) return exact;
  return FolderIndex(folder).Find(name);
}

std::string FindStoredFile(std::string_view storedName, const std::vector<std::string>& folders) {
  const std::string_view name = StoredFileNamePart(storedName);
  for (const std::string& folder : folders)
    if (std::string found = FindInFolder(folder, name); !found.empty()) return found;
  return {};
}

std::string ResolveInFolder(const std::string& folder, std::string_view storedName) {
  const std::string_view name = StoredFileNamePart(storedName);
  if (std::string found = FindInFolder(folder, name); !found.empty()) return found;
  return folder + std::string(name);
}

std::string ResolveInFolder(const FolderIndex& folder, std::string_view storedName) {
  const std::string_view name = StoredFileNamePart(storedName);
  if (std::string found = folder.Find(name); !found.empty()) return found;
  return folder.GivenFolder() + std::string(name);
}

std::vector<std::string> SharedLibraryCandidates(const EnvFn& env) {
  auto var = [&](const char* name) -> std::string {
    const char* v = env(name);
    return v ? v : "";
  };
  std::vector<std::string> roots;
  std::string dataHome = var("XDG_DATA_HOME");
  if (dataHome.empty() && !var("HOME").empty()) dataHome = var("HOME") + "/.local/share";
  if (!dataHome.empty()) roots.push_back(dataHome);
  std::string dirs = var("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    if (colon > start) roots.push_back(dirs.substr(start, colon - start));
    start = colon + 1;
  }
  std::vector<std::string> out;
  for (const std::string& root : roots) out.push_back(WithSlash(root) + "Dawlish/Common/");
  return out;
}

namespace {
const char* ProcessEnv(const char* name) {
  return std::getenv(name);
}
}  // namespace

std::string SharedLibraryFolder(const EnvFn& env) {
  for (const std::string& folder : SharedLibraryCandidates(env))
    if (IsDirectory(folder)) return folder;
  return {};
}

std::string SharedLibraryFolder() {
  return SharedLibraryFolder(ProcessEnv);
}

std::string SharedLibrarySubfolder(const std::string& subfolder) {
  std::string folder = SharedLibraryFolder();
  return folder.empty() ? folder : folder + subfolder;
}

std::string FindObjectFile(std::string_view storedName, const std::string& packageFolder) {
  if (storedName.empty()) return {};
  const std::string asIs(storedName);
  if (IsRegularFile(asIs)) return asIs;
  std::vector<std::string> folders;
  if (!packageFolder.empty()) folders.push_back(packageFolder);
  if (std::string shared = SharedLibrarySubfolder("images/"); !shared.empty())
    folders.push_back(std::move(shared));
  return FindStoredFile(storedName, folders);
}

std::string FindSoundFile(std::string_view fileName, const SoundSearchPaths& paths) {
  if (fileName.empty()) return {};
  const std::string asIs(fileName);
  if (IsRegularFile(asIs)) return asIs;
  std::vector<std::string> folders;
  if (!paths.tempFolder.empty()) folders.push_back(paths.tempFolder);
  if (!paths.sharedSoundFolder.empty()) folders.push_back(paths.sharedSoundFolder);
  if (!paths.exeFolder.empty()) folders.push_back(WithSlash(paths.exeFolder) + "sounds/");
  return FindStoredFile(fileName, folders);
}

}  // namespace vec
