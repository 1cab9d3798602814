#!/usr/bin/env python3
"""Does what a mod manager does with the package's fomod installer, for the
package check: reads fomod/ModuleConfig.xml from an unpacked archive and
installs the required files and those of the chosen options into a Data
folder, refusing choices that break a group's rule and sources the archive
lacks. Paths are Windows paths: backslashes, letter case kept as written.

  fomod_install.py install UNPACKED DATA "Group/Option"...
  fomod_install.py sources UNPACKED        every source the installer names
  fomod_install.py options UNPACKED        every option: group, name, type
  fomod_install.py images UNPACKED         every picture: the module's, then each option's
                                           ("Group/Option: path", "-" for none)
  fomod_install.py descriptions UNPACKED   every option's description
"""
import os
import shutil
import sys
import xml.etree.ElementTree as ElementTree

GROUP_RULES = {
    "SelectExactlyOne": lambda n, total: n == 1,
    "SelectAtMostOne": lambda n, total: n <= 1,
    "SelectAtLeastOne": lambda n, total: n >= 1,
    "SelectAll": lambda n, total: n == total,
    "SelectAny": lambda n, total: True,
}


def archive_path(windows_path):
    return windows_path.replace("\\", "/").strip("/")


def groups(config):
    for step in config.iter("installStep"):
        for group in step.iter("group"):
            yield group


def options(config):
    for group in groups(config):
        for plugin in group.iter("plugin"):
            kind = plugin.find("typeDescriptor/type")
            yield group, plugin, kind.get("name") if kind is not None else "?"


def file_entries(element):
    """(source, destination, is_folder) of a <files> or <requiredInstallFiles>."""
    if element is None:
        return []
    return [(archive_path(entry.get("source", "")), archive_path(entry.get("destination", "")), entry.tag == "folder")
            for entry in element if entry.tag in ("file", "folder")]


def install(unpacked, data, entries):
    for source, destination, is_folder in entries:
        origin = os.path.join(unpacked, source)
        if is_folder != os.path.isdir(origin) or not os.path.exists(origin):
            sys.exit(f"the archive has no {'folder' if is_folder else 'file'} {source}")
        target = os.path.join(data, destination)
        if is_folder:
            shutil.copytree(origin, target, dirs_exist_ok=True)
        else:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(origin, target)


def main(argv):
    if len(argv) < 3 or argv[1] not in ("install", "sources", "options", "images", "descriptions"):
        sys.exit(__doc__)
    unpacked = argv[2]
    config = ElementTree.parse(os.path.join(unpacked, "fomod", "ModuleConfig.xml")).getroot()
    if argv[1] == "sources":
        everything = file_entries(config.find("requiredInstallFiles"))
        for _, plugin, _ in options(config):
            everything += file_entries(plugin.find("files"))
        print("\n".join(sorted({source for source, _, _ in everything})))
        return
    if argv[1] == "options":
        for group, plugin, kind in options(config):
            print(f"{group.get('name')}/{plugin.get('name')}: {group.get('type')}, {kind}")
        return
    if argv[1] == "images":
        image = config.find("moduleImage")
        print(f"module: {archive_path(image.get('path', '')) if image is not None else '-'}")
        for group, plugin, _ in options(config):
            image = plugin.find("image")
            print(f"{group.get('name')}/{plugin.get('name')}: {archive_path(image.get('path', '')) if image is not None else '-'}")
        return
    if argv[1] == "descriptions":
        for group, plugin, _ in options(config):
            print(f"{group.get('name')}/{plugin.get('name')}: {(plugin.findtext('description') or '').strip()}")
        return
    data, chosen = argv[3], set(argv[4:])
    entries = file_entries(config.find("requiredInstallFiles"))
    known = set()
    for group in groups(config):
        plugins = list(group.iter("plugin"))
        picked = [p for p in plugins if f"{group.get('name')}/{p.get('name')}" in chosen]
        known.update(f"{group.get('name')}/{p.get('name')}" for p in plugins)
        if not GROUP_RULES[group.get("type")](len(picked), len(plugins)):
            sys.exit(f"group {group.get('name')} ({group.get('type')}) does not allow {len(picked)} choice(s)")
        for plugin in picked:
            entries += file_entries(plugin.find("files"))
    if chosen - known:
        sys.exit(f"no such option: {', '.join(sorted(chosen - known))}")
    install(unpacked, data, entries)


if __name__ == "__main__":
    main(sys.argv)
