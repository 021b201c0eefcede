#!/usr/bin/python3
"""Each rule of tools/msi-check catches a package that breaks it: the good packages, each broken
the way a package of ours once was or could be (with msibuild), must fail with the rule's name.

Usage: PackageRulesBroken.py PACKAGE-x86.msi PACKAGE-x64.msi"""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..")
CHECKER = os.path.join(ROOT, "tools", "msi-check")


def sql(*queries):
    return [argument for query in queries for argument in ("-q", query)]


def codepage_zero(work, package):
    idt = os.path.join(work, "_ForceCodepage.idt")
    with open(idt, "w", newline="") as table:
        table.write("\r\n\r\n0\t_ForceCodepage\r\n")
    return ["-i", idt]


def icon_of_16_bits(work, package):
    """The package's icon with its PNG frame's header saying 16 bits per channel."""
    subprocess.run(["msidump", "-s", "-d", work, os.path.abspath(package)], check=True, cwd=work,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(work, "_Streams", "Icon.Orvane.ico"), "rb") as icon:
        data = bytearray(icon.read())
    png = data.find(b"\x89PNG")
    data[png + 24] = 16
    path = os.path.join(work, "Orvane.ico")
    with open(path, "wb") as icon:
        icon.write(data)
    return ["-a", "Icon.Orvane.ico", path]


# (rule, which package is broken, msibuild's arguments or a function of the work folder and package)
CASES = [
    ("file versioning", "x86", sql("UPDATE `File` SET `Version` = '' WHERE `File` = 'OrvaneExe'")),
    ("file versioning", "x64", sql("INSERT INTO `MsiFileHash` (`File_`, `Options`, `HashPart1`, `HashPart2`, `HashPart3`, "
                                   "`HashPart4`) VALUES ('OrvaneExe', 0, 1, 2, 3, 4)")),
    ("plain shortcut", "x86", sql("UPDATE `Shortcut` SET `Target` = 'Orvane'")),
    ("plain shortcut", "x64", sql("DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'CreateShortcuts'")),
    ("key path", "x86", sql("UPDATE `Component` SET `KeyPath` = 'AppLoggerXml' WHERE `Component` = 'Program'")),
    ("key path", "x64", sql("DELETE FROM `CreateFolder` WHERE `Component_` = 'LogFolder'")),
    ("per-machine key path", "x86", sql("UPDATE `Registry` SET `Root` = 1 WHERE `Registry` = 'DriverPackageUrl'")),
    ("per-user key path", "x64", sql("DELETE FROM `Property` WHERE `Property` = 'ALLUSERS'")),
    ("product version", "x86", sql("UPDATE `Property` SET `Value` = '1.0.0.7' WHERE `Property` = 'ProductVersion'")),
    ("upgrade rows", "x64", sql("DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'",
                                "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) "
                                "VALUES ('{CEBAB3C3-137E-4187-BD20-4940B9E7B937}', '1.0.0', 1, 'WIX_UPGRADE_DETECTED')")),
    ("upgrade rows", "x86", sql("DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_DOWNGRADE_DETECTED'",
                                "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `Attributes`, `ActionProperty`) "
                                "VALUES ('{CEBAB3C3-137E-4187-BD20-4940B9E7B937}', '1.0.0', 258, 'WIX_DOWNGRADE_DETECTED')")),
    ("upgrade rows", "x64", sql("DELETE FROM `Property` WHERE `Property` = 'REINSTALLMODE'")),
    ("secure properties", "x86", sql("UPDATE `Property` SET `Value` = 'WIX_UPGRADE_DETECTED;WIX_DOWNGRADE_DETECTED' "
                                     "WHERE `Property` = 'SecureCustomProperties'")),
    ("remembered property", "x64", sql("DELETE FROM `InstallExecuteSequence` WHERE "
                                       "`Action` = 'RestoreCommandLineDriverPackageUrl'")),
    ("remembered property", "x86", sql("UPDATE `InstallUISequence` SET `Sequence` = 60 WHERE "
                                       "`Action` = 'SaveCommandLineDriverPackageUrl'")),
    ("registry views", "x86", sql("UPDATE `RegLocator` SET `Type` = 18")),
    ("registry views", "x64", sql("DELETE FROM `RegLocator` WHERE `Type` = 2")),
    ("registry views", "x64", sql("UPDATE `Component` SET `Attributes` = 0 WHERE `Component` = 'Program'")),
    ("summary template", "x64", ["-s", "Orvane - Pilotes de Philips", "Orvane", "Intel;1036"]),
    ("summary template", "x64", ["-s", "Orvane - Pilotes de Philips", "Orvane", "x64;1033"]),
    ("code page", "x86", codepage_zero),
    ("icon frames", "x64", icon_of_16_bits),
    ("locked permissions", "x86", sql("UPDATE `MsiLockPermissionsEx` SET `SDDLText` = "
                                      "'D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)'")),
    ("locked permissions", "x64", sql("UPDATE `MsiLockPermissionsEx` SET `LockObject` = 'ORVANEDATADIR'")),
    ("programs and features", "x86", sql("DELETE FROM `Property` WHERE `Property` = 'ARPNOREPAIR'")),
    ("programs and features", "x64", sql("DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'SetInstallLocation'")),
    # What the two packages share.
    ("component rules", "x64", sql("UPDATE `Component` SET `ComponentId` = '{7B0FCCAB-8876-430C-B492-1636B9551192}' "
                                   "WHERE `Component` = 'LogFolder'")),
    ("component rules", "x64", sql("UPDATE `Shortcut` SET `Name` = 'Orvane'")),
    ("component rules", "x64", sql("UPDATE `MsiLockPermissionsEx` SET `SDDLText` = 'D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)'")),
    ("upgrade family", "x64", sql("UPDATE `Property` SET `Value` = '{D5C4B1F2-0E1A-4C55-9A5E-6A3B8E0F4C21}' "
                                  "WHERE `Property` = 'UpgradeCode'")),
]


def main():
    packages = {"x86": sys.argv[1], "x64": sys.argv[2]}
    failures = 0
    with tempfile.TemporaryDirectory() as top:
        for index, (rule, arch, breakage) in enumerate(CASES):
            work = os.path.join(top, str(index))
            os.makedirs(work)
            broken = os.path.join(work, os.path.basename(packages[arch]))
            shutil.copyfile(packages[arch], broken)
            arguments = breakage(work, packages[arch]) if callable(breakage) else breakage
            subprocess.run(["msibuild", broken] + arguments, check=True, stdout=subprocess.DEVNULL)
            pair = [broken if arch == "x86" else packages["x86"], broken if arch == "x64" else packages["x64"]]
            result = subprocess.run([CHECKER] + pair, capture_output=True, text=True)
            if result.returncode != 1 or f"FAILED [{rule}] {os.path.basename(broken)}" not in result.stdout:
                failures += 1
                print(f"FAILED: [{rule}] does not catch the {arch} package broken by {arguments}:\n{result.stdout}")
    print(f"{len(CASES) - failures} of {len(CASES)} broken packages caught by their rule")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
