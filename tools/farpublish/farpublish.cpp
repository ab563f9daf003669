// farpublish: makes the update site that launchers read, from the client
// builds themselves, and checks a live one as launchers see it.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "build/build_options.h"
#include "build/site_build.h"
#include "check/site_check.h"
#include "publish/site_prune.h"
#include "publish/site_publish.h"
#include "document/site_resign.h"
#include "packaging/sign_exe.h"
#include "packaging/linux_setup.h"
#include "packaging/windows_setup.h"

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

const char kHelp[] =
    "usage: farpublish build VERSIONS SITE --base-url URL [options]\n"
    "       farpublish check URL [--key PUBLICKEY] [--sample N]\n"
    "       farpublish resign SITE --key KEY [--expires DAYS] [--base-url URL]\n"
    "                         [--rollout PERCENT]\n"
    "       farpublish prune SITE --keep N [--dry-run] [--key PUBLICKEY]\n"
    "       farpublish publish SITE DEST\n"
    "       farpublish sign-exe FILE --sign-cert CERT --sign-key KEY\n"
    "                         [--timestamp-url URL]\n"
    "       farpublish installer --launcher farLaunch.exe --game-files DIR\n"
    "                         --product NAME --out Setup.exe [--publisher-key KEY.pub]\n"
    "                         [--sign-cert CERT --sign-key KEY [--timestamp-url URL]]\n"
    "       farpublish installer --linux --launcher farLaunch.exe --game-files DIR\n"
    "                         --product NAME --out NAME.tar.gz [--publisher-key KEY.pub]\n"
    "\n"
    "Builds a static update site in SITE, to be served under URL by any web server\n"
    "or CDN, from the client builds in VERSIONS.\n"
    "\n"
    "VERSIONS holds one folder per released client build, named\n"
    "<PackageCode>-<Main>.<Sub>.<File> (for example 0001-1.0.1). Launchers install\n"
    "builds in the byte order of their package codes (\"10\" before \"9\"), so give\n"
    "codes a fixed number of digits; versions must not go down in that order.\n"
    "A build holds folders and regular files (symbolic links: see --symlinks),\n"
    "each named so that a game directory on Windows holds it as a file of its own:\n"
    "a name with no form in the GBK code page, a device name Windows reserves\n"
    "(CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with any extension), a name\n"
    "ending in a dot or a space, one holding :*?\"<>| or a control character,\n"
    "and a file named as another file or folder but for letter case are\n"
    "refused, one line each.\n"
    "\n"
    "SITE gets:\n"
    "  servercfg.xml          the server document (GBK): one GameVersion entry per\n"
    "                         build with the items that take the build before it\n"
    "                         there, each with its Sha256 and Size\n"
    "  patch-CODE.zip         the files a build added or changed, the launchers aside\n"
    "  launcher-CODE.zip      farLaunch.exe, when the build changed it (the entry's\n"
    "                         last item, as the launcher restarts after it), and\n"
    "                         a Launcher element naming its platform (Windows: PE,\n"
    "                         Linux: ELF)\n"
    "  launcher-linux-CODE.zip  the Linux launcher of a build for both platforms\n"
    "                         (farLaunch beside the Windows farLaunch.exe), as\n"
    "                         farLaunch.exe; only its Launcher element names it\n"
    "  client-CODE.zip        every file of the newest build, for a full install\n"
    "                         (no launcher in a build for both platforms)\n"
    "  manifests/SHA256       per build, the list of its files (name, size, SHA-256,\n"
    "                         and the object that carries each), one zstd frame\n"
    "                         named by its own SHA-256; the entry's Manifest element\n"
    "                         gives its address, Digest and Bytes\n"
    "  objects/XX/SHA256      each distinct file content once, named by its SHA-256,\n"
    "                         one zstd frame, or raw where that is no larger\n"
    "  deltas/SRC-DST         per changed file of the newest build, a zstd \"patch\n"
    "                         from\" delta from its content SRC in each of the\n"
    "                         builds before (--deltas) to its new content DST,\n"
    "                         listed in the manifest when smaller than the object\n"
    "  servercfg.xml.minisig  with --sign\n"
    "The first build is the base: it has no patch. Building the same inputs again\n"
    "gives the same bytes. An archive SITE holds already is published: it is kept\n"
    "as it is when it holds exactly the files it is built from, and the build stops\n"
    "when it does not; the same holds for manifests and objects.\n"
    "A file a build no longer has is deleted by launchers that read manifests\n"
    "where its content is still the one the previous release listed; a\n"
    "player's file (other content, rh_game.ini, cfg.ini) and the launcher's own\n"
    "files are never deleted, and the patches cannot delete at all, so launchers\n"
    "that read no manifest (the original) keep it; a warning names it.\n"
    "Folders are not stored (an empty one is not carried). Nothing in SITE\n"
    "changes when the build fails.\n"
    "Files the launcher owns in the game directory (letter case ignored) are\n"
    "named in a warning: its state (updatecfg.xml, servercfg.xml,\n"
    "farLaunch.signedtime, farLaunch.log*, farLaunch.fullinstall,\n"
    "farLaunch.journal, farLaunch.lock, farLaunch.bucket) is left out of the\n"
    "patches, and out of the full package except updatecfg.xml; the names of its\n"
    "temporary files\n"
    "(farLaunch.download.*, client.zip, update.zip, _dat.dat, diff.dat, tmp.tmp,\n"
    "_tmp.dat, _tmp_up.dat, tmp_client.tmp, tmpFileN, tmpUpdate0,\n"
    "servercfg.xml.download, servercfg.xml.minisig) are deleted by launchers,\n"
    "older ones after every update whatever a release ships; and publisher.pub\n"
    "replaces the key launchers verify with.\n"
    "\n"
    "Options (\"--name VALUE\" or \"--name=VALUE\"; --no-manifests stands alone):\n"
    "  --base-url URL          the address SITE is served under (http://...)\n"
    "  --web-addr URL          the launcher's news page (WebAddr, WebAddr1)\n"
    "  --block-addr URL        UpdateBlockAddr, which launchers read two ways: an\n"
    "                          installed version no longer listed opens it in the\n"
    "                          browser (a download page), and after an update it\n"
    "                          becomes the address of the server document from the\n"
    "                          next start on (how a site moves). Launchers switch\n"
    "                          only when a server document they accept is there, so\n"
    "                          a download page leaves them where they are; give the\n"
    "                          new document's address to move the site\n"
    "  --game-files DIR        also write DIR/updatecfg.xml: what a new game\n"
    "                          directory needs to find this site (the newest\n"
    "                          version, UpdateServerAddr BASE-URL/servercfg.xml),\n"
    "                          in the stored (Base64) form\n"
    "  --deltas K              the newest build's files get deltas from the K builds\n"
    "                          before it (default 3; 0: none); files above 1 GiB\n"
    "                          get none (the launcher's decoding window). A changed\n"
    "                          file that gets no delta is named in a warning\n"
    "  --delta-level N         the zstd level of new deltas, from 1 to 22 (default\n"
    "                          19); a delta SITE holds is kept whatever its level\n"
    "  --no-manifests          no Manifest elements, manifests, objects or deltas:\n"
    "                          for a site whose players all run the original\n"
    "                          launcher, which follows the patches only\n"
    "  --symlinks follow|skip|refuse\n"
    "                          what a symbolic link in a build becomes: refuse (the\n"
    "                          default) stops the build; follow stores its target's\n"
    "                          content under the link's name (a folder's files below\n"
    "                          it) when the target, through any chain of links,\n"
    "                          stays inside the build folder, and stops the build\n"
    "                          otherwise; skip leaves it out with a warning\n"
    "  --mirror URL            a folder holding a copy of SITE (http:// or https://)\n"
    "                          that launchers fetch the newest release's objects\n"
    "                          and deltas from when the site's own fail;\n"
    "                          repeatable, tried in order (the newest Manifest\n"
    "                          element's Mirrors)\n"
    "  --rollout PERCENT       offer the newest build to PERCENT % of the players\n"
    "                          first (0 to 100; default 100, everyone): launchers\n"
    "                          outside the share stay on the build before it, and\n"
    "                          launchers of the original's line take it at once.\n"
    "                          Widen it with farpublish resign --rollout\n"
    "  --dump-ftp HOST[:PORT]  the crash dump server (port 21 when not given)\n"
    "  --product NAME          every entry's ProductName\n"
    "  --sign KEY              sign servercfg.xml with the minisign secret key KEY\n"
    "                          (minisign -G makes one); check with\n"
    "                          minisign -V -p KEY.pub -m servercfg.xml.\n"
    "                          An encrypted key's password is read from the\n"
    "                          terminal, or as one line of standard input when that\n"
    "                          is not a terminal. The signature's trusted comment\n"
    "                          holds the time of signing (always the real time,\n"
    "                          never SOURCE_DATE_EPOCH: launchers refuse a document\n"
    "                          signed earlier than one they accepted, and another\n"
    "                          document signed in the same second) and the\n"
    "                          document's address, URL/servercfg.xml: launchers\n"
    "                          refuse a document that names another address.\n"
    "  --also-served-at URL    with --sign: one more address the same document is\n"
    "                          served under (an alias, an old domain); repeatable\n"
    "  --expires DAYS          with --sign: launchers refuse the document DAYS days\n"
    "                          after signing; re-sign it before (farpublish resign)\n"
    "\n"
    "Exit status: 0 when the site was built (warnings included), 1 when an input\n"
    "is bad or a file cannot be read or written, 2 for a usage error.\n"
    "\n"
    "check URL [--key PUBLICKEY] [--sample N]\n"
    "Checks a live site as launchers see it: fetches the server document at URL\n"
    "(with --key, minisign -G's .pub file, its signature URL.minisig must be the\n"
    "publisher's), every item and the full package, each against its Sha256 and\n"
    "Size; unpacks every archive (CRCs, names that stay inside the game\n"
    "directory); checks that every listed version reaches the newest (package\n"
    "codes in installation order); fetches the newest version's manifest, holds\n"
    "the names it lists to the naming rules of a build, and fetches\n"
    "every object it names (N of them, picked at random, with --sample N), each\n"
    "against its stored size and SHA-256 and its content's, from the site and from\n"
    "every mirror the newest version names; when the document\n"
    "names an UpdateBlockAddr, fetches it and says when launchers would not move\n"
    "there (no server document). Prints one line per problem, then a summary.\n"
    "Exit status: 0 when the site is sound, 1 when not, 2 for a usage error.\n"
    "\n"
    "resign SITE --key KEY [--expires DAYS] [--base-url URL [--also-served-at URL]...]\n"
    "Signs SITE/servercfg.xml again with a new timestamp and writes\n"
    "SITE/servercfg.xml.minisig; the archives stay as they are. The addresses are\n"
    "those the current signature names (it must be KEY's), or URL/servercfg.xml\n"
    "and every --also-served-at. The expiry keeps the current signature's period\n"
    "(from its signing to its expiry) from the new time of signing, unless\n"
    "--expires DAYS gives another; --expires 0 signs without one, with a warning.\n"
    "Run it from a daily job to keep a document signed with --expires fresh.\n"
    "--rollout PERCENT first sets the newest build's share of players (as build\n"
    "does) in SITE/servercfg.xml; without it the share stays as it is.\n"
    "Exit status: 0 when signed, 1 when not, 2 for a usage error.\n"
    "\n"
    "prune SITE --keep N [--dry-run] [--key PUBLICKEY]\n"
    "Removes from SITE the archives (*.zip), manifests, objects and deltas that\n"
    "servercfg.xml names nowhere and that no manifest of its newest N versions\n"
    "lists: old full packages, and what older releases alone used. Players of\n"
    "the older versions still update, through the newest manifest. Nothing the\n"
    "document names is removed, nor the document, its signature or any other\n"
    "file. Prints each file removed and its size, then the bytes freed; with\n"
    "--dry-run, what would be removed, and removes nothing. Removes nothing\n"
    "when the document does not read, when --key is given and servercfg.xml.minisig\n"
    "is not that key's signature of it, or when a kept manifest is missing or\n"
    "not the one the document names.\n"
    "Exit status: 0 when pruned, 1 when not, 2 for a usage error.\n"
    "\n"
    "publish SITE DEST\n"
    "Copies a built site to DEST, where players read it: a folder, or with a\n"
    "':' (host:folder) an rsync destination, sent by the rsync program. The\n"
    "files go in this order, so that a player never reads a document before\n"
    "what it names: objects, deltas, manifests, the archives and other files,\n"
    "the signature, and the document last. Into a folder each file is copied\n"
    "under a temporary name (.NAME.farpublish-part) and renamed into place; a\n"
    "file DEST holds with the same bytes is not copied again. To rsync, each of\n"
    "those batches is one rsync run with --delay-updates (its files appear\n"
    "together at its end); objects, deltas and manifests DEST holds are not\n"
    "sent again, as their names are their hashes. A failure stops the copy:\n"
    "what comes after it, the document above all, is not copied.\n"
    "Exit status: 0 when copied, 1 when not, 2 for a usage error.\n"
    "\n"
    "sign-exe FILE --sign-cert CERT --sign-key KEY [--timestamp-url URL]\n"
    "Signs the Windows program FILE in place (Authenticode, SHA-256) with the\n"
    "code-signing certificate CERT (PEM or DER, with its chain) and its\n"
    "unencrypted private key KEY, through the osslsigncode program; with\n"
    "--timestamp-url, an RFC 3161 time-stamping service countersigns it, so that\n"
    "the signature holds after the certificate expires. Windows warns before\n"
    "running an unsigned download. FILE is unchanged when signing fails.\n"
    "Check with: osslsigncode verify -in FILE\n"
    "Exit status: 0 when signed, 1 when not, 2 for a usage error.\n"
    "\n"
    "installer --launcher farLaunch.exe --game-files DIR --product NAME --out Setup.exe\n"
    "Makes a Windows setup program for a new player with NSIS (makensis): it\n"
    "installs the Windows launcher, DIR/updatecfg.xml (farpublish build\n"
    "--game-files DIR writes it) and, with --publisher-key, minisign's public key\n"
    "as publisher.pub, for the current user into %LOCALAPPDATA%\\Programs\\NAME or\n"
    "a folder the player chooses, without elevation; it makes Start-menu and\n"
    "desktop shortcuts and an uninstaller listed in Add/Remove Programs. An\n"
    "interactive setup starts the launcher at its end, which installs the game\n"
    "from the site; \"Setup.exe /S /D=FOLDER\" installs silently and starts\n"
    "nothing. The uninstaller removes what the setup installed; the game files\n"
    "stay. With --sign-cert and --sign-key (as sign-exe) the launcher and the\n"
    "setup are signed.\n"
    "With --linux it writes a tarball for a new Linux player instead: one folder\n"
    "named NAME holding the Linux launcher, the window modules found beside it,\n"
    "updatecfg.xml, publisher.pub and NAME.desktop, which starts the launcher in\n"
    "that folder wherever the player extracts it.\n"
    "Exit status: 0 when written, 1 when not, 2 for a usage error.\n";

int UsageError(const std::string& message) {
  std::cerr << "farpublish: " << message << "\n" << "Try 'farpublish --help'.\n";
  return kUsageError;
}

int Build(const std::vector<std::string>& args) {
  BuildOptions options;
  std::string error;
  if (!ParseBuildOptions(args, options, error)) return UsageError(error);
  return BuildSite(options, std::cout, std::cerr) ? kOk : kFailed;
}

int Check(const std::vector<std::string>& args) {
  CheckOptions options;
  std::string error;
  if (!ParseCheckOptions(args, options, error)) return UsageError(error);
  try {
    return CheckSite(options, std::cout) ? kOk : kFailed;
  } catch (const std::filesystem::filesystem_error& failure) {
    std::cerr << "farpublish: " << failure.what() << "\n";
    return kFailed;
  }
}

int Resign(const std::vector<std::string>& args) {
  ResignOptions options;
  std::string error;
  if (!ParseResignOptions(args, options, error)) return UsageError(error);
  return ResignSite(options, std::cout, std::cerr) ? kOk : kFailed;
}

struct Command {
  const char* name;
  int (*run)(const std::vector<std::string>& args);
};

int Prune(const std::vector<std::string>& args) {
  PruneOptions options;
  std::string error;
  if (!ParsePruneOptions(args, options, error)) return UsageError(error);
  return PruneSite(options, std::cout, std::cerr) ? kOk : kFailed;
}

int SignExeCommand(const std::vector<std::string>& args) {
  SignExeOptions options;
  std::string error;
  if (!ParseSignExeOptions(args, options, error)) return UsageError(error);
  return SignExe(options, std::cout, std::cerr) ? kOk : kFailed;
}

int Installer(const std::vector<std::string>& args) {
  InstallerOptions options;
  std::string error;
  if (!ParseInstallerOptions(args, options, error)) return UsageError(error);
  const bool made = options.linuxTarball ? MakeLinuxTarball(options, std::cout, std::cerr)
                                         : MakeInstaller(options, std::cout, std::cerr);
  return made ? kOk : kFailed;
}

int Publish(const std::vector<std::string>& args) {
  PublishOptions options;
  std::string error;
  if (!ParsePublishOptions(args, options, error)) return UsageError(error);
  return PublishSite(options, std::cout, std::cerr) ? kOk : kFailed;
}

const Command kCommands[] = {
    {"build", Build}, {"check", Check}, {"resign", Resign}, {"prune", Prune}, {"publish", Publish},
    {"sign-exe", SignExeCommand}, {"installer", Installer}};

bool AsksForHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (std::any_of(args.begin(), args.end(), AsksForHelp)) {
    std::cout << kHelp;
    return kOk;
  }
  if (args.empty()) return UsageError("missing command");
  for (const Command& command : kCommands) {
    if (args[0] == command.name) return command.run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  return UsageError("unknown command '" + args[0] + "'");
}
