#include "xml/xml_config.h"

using F = ConfigFields;
using E = VersionEntry;

const std::array<SingleKey, 19> kSingleKeys = {{
    {"MainVersion", &F::MainVersion, &E::MainVersion},
    {"SubVersion", &F::SubVersion, &E::SubVersion},
    {"FileVersion", &F::FileVersion, &E::FileVersion},
    {"PackageCode", &F::PackageCode, &E::PackageCode},
    {"ProductName", &F::ProductName, &E::ProductName},
    {"UpdateVersion", &F::UpdateVersion, &E::UpdateVersion},
    {"UpdateServerAddr", &F::UpdateServerAddr, nullptr},
    {"WebAddr", &F::WebAddr, nullptr},
    {"WebAddr1", &F::WebAddr1, nullptr},
    {"LoginServer", &F::LoginServer, nullptr},
    {"PackageName", &F::PackageName, nullptr},
    {"ForceUpdate", &F::ForceUpdate, nullptr},
    {"UpdateBlockAddr", &F::UpdateBlockAddr, nullptr},
    {"UpdateDllAddr", &F::UpdateDllAddr, nullptr},
    {"DumpFtpServer", &F::DumpFtpServer, nullptr},
    {"DumpFtpServerPort", &F::DumpFtpServerPort, nullptr},
    {"MiniType", &F::MiniType, nullptr},
    {"MiniTargetFileName", &F::MiniTargetFileName, nullptr},
    {"MiniSourceFileAddr", &F::MiniSourceFileAddr, nullptr},
}};

const std::array<ListKey, 13> kListKeys = {{
    {"Type", &E::Type},
    {"TargetFileName", &E::TargetFileName},
    {"SourceFileAddr", &E::SourceFileAddr},
    {"AreaName", &E::AreaName},
    {"ServerName", &E::ServerName},
    {"IP", &E::IP},
    {"Port", &E::Port},
    {"AreaType", &E::AreaType},
    {"DumpRecovery", &E::DumpRecovery},
    {"tx_ip", &E::tx_ip},
    {"tx_ip2", &E::tx_ip2},
    {"tx_dir", &E::tx_dir},
    {"tx_port", &E::tx_port},
}};
