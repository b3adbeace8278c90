#include "cli/photo_list.h"

// Standard library
#include <algorithm>
#include <filesystem>
#include <system_error>

// Project
#include "cli/cli_text.h"

namespace snapfolio::cli {

namespace {

namespace fs = std::filesystem;

bool endsWithNoCase(const std::string& text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(), text.end() - static_cast<long>(ending.size()),
                    [](char a, char b) {
                      return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
                    });
}

bool sameFolder(const fs::path& a, const std::string& b) {
  std::error_code ec;
  return !b.empty() && fs::equivalent(a, b, ec);
}

// Adds the JPEG files of `folder` (and with `recursive` of its subfolders) to `photos`.
// Returns the error text of a folder that could not be read, or an empty text.
QString addFolder(const fs::path& folder, bool recursive, const std::string& outputDir,
                  std::vector<std::string>& photos) {
  std::vector<fs::path> pending{folder};
  while (!pending.empty()) {
    const fs::path current = std::move(pending.back());
    pending.pop_back();
    std::vector<std::string> files, folders;
    std::error_code ec;
    fs::directory_iterator it(current, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.empty() || name.front() == '.') continue;
      std::error_code typeError;
      if (recursive && it->is_directory(typeError) && !it->is_symlink(typeError)) {
        if (!sameFolder(it->path(), outputDir)) folders.push_back(name);
      } else if (hasJpegExtension(name) && it->is_regular_file(typeError)) {
        files.push_back(name);
      }
    }
    if (ec) {
      return Cli::tr("cannot read the folder '%1': %2")
          .arg(textFromBytes(current.string()), QString::fromLocal8Bit(ec.message()));
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const std::string& name : files) photos.push_back((current / name).string());
    // The stack takes the last folder first: push in reverse to visit them in name order.
    for (auto name = folders.rbegin(); name != folders.rend(); ++name) {
      pending.push_back(current / *name);
    }
  }
  return {};
}

}  // namespace

bool hasJpegExtension(const std::string& name) {
  return endsWithNoCase(name, ".jpg") || endsWithNoCase(name, ".jpeg");
}

QString noSuchPath(const std::string& argument) {
  return Cli::tr("no such file or folder: %1").arg(textFromBytes(argument));
}

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  if (ec) return path;
  std::string text = p.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

PhotoList collectPhotos(const std::vector<std::string>& arguments, bool recursive,
                        const std::string& outputDir) {
  PhotoList list;
  for (const std::string& argument : arguments) {
    const std::string path = absolutePath(argument);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
      list.error = noSuchPath(argument);
      return list;
    }
    if (!fs::is_directory(status)) {
      list.photos.push_back(path);  // what is not a photo fails as the photo it was given as
      continue;
    }
    const std::size_t before = list.photos.size();
    list.error = addFolder(path, recursive, outputDir, list.photos);
    if (!list.error.isEmpty()) return list;
    if (list.photos.size() == before) list.emptyFolders.push_back(argument);
  }
  return list;
}

}  // namespace snapfolio::cli
