#include "tools/farpublish_fixture.h"

#include <unistd.h>

#include <atomic>

#include "base/text/ox_unicode.h"
#include "trust/minisign_cli.h"
#include "trust/sha256.h"
#include "xml/xml_file.h"
#include "zip/zip_reader.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned kGbk = 936;

void CollectAttributes(CXMLElement& parent, const std::string& element,
                       std::vector<std::map<std::string, std::string>>& found) {
  for (CXMLElement* node = parent.GetFirstChild(); node != nullptr; node = parent.GetNextChild()) {
    if (node->GetType() != CXMLElement::kElement) continue;
    if (node->GetName() == element) {
      std::map<std::string, std::string>& attributes = found.emplace_back();
      for (CXMLElement* child = node->GetFirstChild(); child != nullptr; child = node->GetNextChild()) {
        if (child->GetType() == CXMLElement::kAttribute) attributes[child->GetName()] = child->GetValue();
      }
    }
    CollectAttributes(*node, element, found);
  }
}

}  // namespace

PublishRun Farpublish(const std::vector<std::string>& args, const PublishRunOptions& options) {
  const TempDir scratch;
  std::string command = "env -u SOURCE_DATE_EPOCH ";
  if (options.sourceDateEpoch) command += "SOURCE_DATE_EPOCH=" + ShellQuoted(*options.sourceDateEpoch) + " ";
  if (options.unprivileged && geteuid() == 0) command += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  command += ShellQuoted(FARPUBLISH_PATH);
  for (const std::string& arg : args) command += " " + ShellQuoted(arg);
  command += " <" + ShellQuoted(scratch.Write("stdin", options.input)) + " 2>" + ShellQuoted(scratch.File("stderr"));
  const ShellRun run = RunShell(command);
  return {run.status, run.out, ReadFile(scratch.File("stderr"))};
}

TreeSnapshot SnapshotTree(const fs::path& folder) {
  TreeSnapshot snapshot;
  for (const fs::directory_entry& item : fs::recursive_directory_iterator(folder)) {
    if (!item.is_directory()) snapshot[fs::relative(item.path(), folder).generic_string()] = ReadFile(item.path());
  }
  return snapshot;
}

std::vector<std::pair<std::string, std::string>> ArchiveEntries(const fs::path& archive) {
  const TempDir target;
  const CurrentDirectory inside(target.Path());
  std::atomic<std::int64_t> extractedBytes{0};
  const std::atomic<bool> cancelInstall{false};
  std::vector<std::pair<std::string, std::string>> entries;
  ZipReader reader;
  if (reader.Open(archive.string()) != ZipResult::Ok) return entries;
  ZipEntry count;
  reader.GetItem(-1, count);
  for (std::int32_t i = 0; i < count.index; ++i) {
    ZipEntry entry;
    reader.GetItem(i, entry);
    const std::string file = "entry" + std::to_string(i);
    const bool extracted = reader.ExtractItem(i, file, extractedBytes, cancelInstall) == ZipResult::Ok;
    entries.emplace_back(entry.name, extracted ? ReadFile(file) : "<not extracted>");
  }
  reader.Close();
  return entries;
}

std::vector<std::map<std::string, std::string>> ElementAttributes(const fs::path& document,
                                                                   const std::string& element) {
  CXMLFile file;
  std::vector<std::map<std::string, std::string>> found;
  if (file.Load(document.string(), true)) CollectAttributes(*file.Root(), element, found);
  return found;
}

std::string Sha256Of(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.FinishHex();
}

std::string Gbk(const std::string& utf8) { return ox_base::Utf8ToCodePage(utf8, kGbk); }

void PublishWorkspace::Write(const std::string& build, const std::string& name, const std::string& bytes) const {
  const fs::path path = Versions() / build / name;
  fs::create_directories(path.parent_path());
  WriteFile(path, bytes);
}

void PublishWorkspace::Copy(const std::string& from, const std::string& to) const {
  fs::copy(Versions() / from, Versions() / to, fs::copy_options::recursive);
}

PublishRun PublishWorkspace::Build(const std::vector<std::string>& extra, const PublishRunOptions& options) const {
  std::vector<std::string> args = {"build", Versions().string(), Site().string(), "--base-url", kBaseUrl};
  args.insert(args.end(), extra.begin(), extra.end());
  return Farpublish(args, options);
}

void TwoBuildsTest::SetUp() {
  site.Write("0001-1.0.1", "client.exe", "client 1");
  site.Write("0001-1.0.1", "data/a.txt", "a");
  site.Copy("0001-1.0.1", "0002-1.0.2");
  site.Write("0002-1.0.2", "data/b.txt", "b");
}
