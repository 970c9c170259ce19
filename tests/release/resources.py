"""What Windows reads from the program file without running it: the version
resource, the icon, the manifest, and the two exported values a
hybrid-graphics driver reads to put the program on the discrete GPU.
    resources.py PROGRAM.EXE ROOT.ICO VERSION
Prints one line a fact; exits with the number that do not hold."""
import struct
import sys

import pefile

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
FIXED_SIGNATURE, VFT_APP = 0xFEEF04BD, 1
STRINGS = {"ProductName": "Tarvoquin配置检测", "FileDescription": "【Tarvoquin】配置检测",
           "OriginalFilename": "TarvoquinCheck.exe"}
GPU_EXPORTS = ("NvOptimusEnablement", "AmdPowerXpressRequestHighPerformance")


def resources(pe, kind):
    """The resources of a kind, by id: the bytes of each one's first language."""
    for group in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if group.id == kind:
            found = [(entry.id, entry.directory.entries[0].data.struct)
                     for entry in group.directory.entries]
            return {id: pe.get_data(data.OffsetToData, data.Size) for id, data in found}
    return {}


def facts(exe, ico, version):
    pe = pefile.PE(exe)
    major, minor, patch = (int(n) for n in version.split("."))
    fixed = pe.VS_FIXEDFILEINFO[0]
    yield "fixed file information", fixed.Signature == FIXED_SIGNATURE
    yield "file version " + version, (fixed.FileVersionMS, fixed.FileVersionLS) == (
        major << 16 | minor, patch << 16)
    yield "product version " + version, (fixed.ProductVersionMS, fixed.ProductVersionLS) == (
        major << 16 | minor, patch << 16)
    yield "file type: an application", fixed.FileType == VFT_APP
    tables = {table.LangID.decode(): table.entries for info in pe.FileInfo[0]
              if info.Key == b"StringFileInfo" for table in info.StringTable}
    translations = [var.entry for info in pe.FileInfo[0] if info.Key == b"VarFileInfo"
                    for var in info.Var]
    yield "translation: Chinese (PRC), Unicode", translations == [
        {b"Translation": "0x0804 0x04b0"}]
    strings = tables.get("080404b0", {})
    for name, text in dict(STRINGS, FileVersion=version, ProductVersion=version).items():
        yield "%s \"%s\"" % (name, text), strings.get(name.encode()) == text.encode("utf-8")

    groups = resources(pe, RT_GROUP_ICON)
    yield "exactly one icon", len(groups) == 1
    group = next(iter(groups.values()), b"\0" * 6)
    count = struct.unpack_from("<H", ico, 4)[0]
    yield "the icon holds root.ico's %d images" % count, (
        struct.unpack_from("<H", group, 4)[0] == count)
    images = resources(pe, RT_ICON)
    for i in range(min(count, (len(group) - 6) // 14)):
        size, offset = struct.unpack_from("<II", ico, 6 + i * 16 + 8)
        image = images.get(struct.unpack_from("<H", group, 6 + i * 14 + 12)[0])
        yield "icon image %d as in root.ico" % i, image == ico[offset:offset + size]

    manifests = resources(pe, RT_MANIFEST)
    manifest = manifests.get(1, b"")
    yield "exactly one manifest", len(manifests) == 1
    yield "the manifest asks to run as the invoker", (
        b'<requestedExecutionLevel level="asInvoker"' in manifest)
    # A supported-OS entry would change what the version test is told.
    yield "the manifest declares no supported systems", b"supportedOS" not in manifest
    yield "the manifest has no compatibility section", b"compatibility" not in manifest

    exports = {symbol.name.decode(): symbol.address
               for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols}
    for name in GPU_EXPORTS:
        yield "exports %s = 1" % name, name in exports and pe.get_dword_at_rva(exports[name]) == 1


def main(exe, ico_path, version):
    with open(ico_path, "rb") as ico:
        failed = 0
        for what, holds in facts(exe, ico.read(), version):
            print("%s %s: %s" % ("ok  " if holds else "FAIL", exe, what))
            failed += not holds
    return failed


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
