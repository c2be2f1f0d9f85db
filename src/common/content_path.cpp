// Splitting a content name into pieces and matching them, case-loosely, under content folders.
#include "common/content_path.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "common/path.h"

namespace tessarine::common {
namespace {

namespace fs = std::filesystem;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

std::vector<std::string> piecesOf(std::string_view name) {
  const std::size_t colon = name.find(':');
  if (colon != std::string_view::npos && colon < name.find_first_of("/\\")) name.remove_prefix(colon + 1);
  std::vector<std::string> pieces;
  while (!name.empty()) {
    const std::size_t end = std::min(name.find_first_of("/\\"), name.size());
    const std::string_view piece = name.substr(0, end);
    if (!piece.empty() && piece != "." && piece != "..") pieces.emplace_back(piece);
    name.remove_prefix(std::min(end + 1, name.size()));
  }
  if (pieces.size() > kMaxNamePieces) pieces.erase(pieces.begin(), pieces.end() - kMaxNamePieces);
  return pieces;
}

bool hasExtension(std::string_view piece) {
  const std::size_t dot = piece.rfind('.');
  return dot != std::string_view::npos && dot > 0;  // a leading dot marks a hidden file
}

class PieceMatcher {
 public:
  // The entry of `directory` that `piece` names, of the kind wanted, or nothing.
  std::optional<fs::path> match(const fs::path& directory, const std::string& piece, bool wantDirectory) {
    fs::path exact = directory / piece;
    if (isKind(exact, wantDirectory)) return exact;
    for (const std::string& entry : listing(directory)) {
      if (entry != piece && equalIgnoringCase(entry, piece) && isKind(directory / entry, wantDirectory)) {
        return directory / entry;
      }
    }
    return std::nullopt;
  }

 private:
  static bool isKind(const fs::path& path, bool wantDirectory) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return !error && (wantDirectory ? fs::is_directory(status) : fs::is_regular_file(status));
  }

  // Sorted in byte order, so that names differing only by case always resolve alike.
  const std::vector<std::string>& listing(const fs::path& directory) {
    auto [at, fresh] = listings_.try_emplace(directory.string());
    if (!fresh) return at->second;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error)) {
      if (at->second.size() == kMaxDirectoryEntries) break;
      at->second.push_back(entry->path().filename().string());
    }
    std::ranges::sort(at->second);
    return at->second;
  }

  std::map<std::string, std::vector<std::string>> listings_;
};

}  // namespace

ContentSearch findContentFile(std::string_view name, std::span<const std::string> folders,
                              std::span<const std::string> extensions) {
  ContentSearch search;
  const std::vector<std::string> pieces = piecesOf(name);
  if (pieces.empty()) return search;
  std::vector<std::string> lastPieces{pieces.back()};
  if (!hasExtension(pieces.back())) {
    for (const std::string& extension : extensions) lastPieces.push_back(pieces.back() + extension);
  }
  PieceMatcher matcher;
  for (std::size_t first = 0; first < pieces.size(); ++first) {
    for (const std::string& folder : folders) {
      std::string directories;
      for (std::size_t i = first; i + 1 < pieces.size(); ++i) directories += pieces[i] + "/";
      std::optional<fs::path> at = fs::path(folder.empty() ? "." : folder);
      for (std::size_t i = first; at && i + 1 < pieces.size(); ++i) at = matcher.match(*at, pieces[i], true);
      for (const std::string& last : lastPieces) {
        const std::string place = (fs::path(folder) / (directories + last)).string();
        search.tried.push_back(place);
        if (!at || place.size() > kMaxPath) continue;
        if (std::optional<fs::path> file = matcher.match(*at, last, false)) {
          search.found = file->string();
          return search;
        }
      }
    }
  }
  return search;
}

std::vector<std::string> contentFoldersFor(const std::string& file, std::span<const std::string> given) {
  if (!given.empty()) return {given.begin(), given.end()};
  std::vector<std::string> folders;
  std::filesystem::path folder = std::filesystem::absolute(file).lexically_normal().parent_path();
  while (true) {
    folders.push_back(folder.string());
    if (folder == folder.root_path() || !folder.has_relative_path()) break;
    folder = folder.parent_path();
  }
  return folders;
}

}  // namespace tessarine::common
