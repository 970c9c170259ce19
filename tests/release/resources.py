"""What Windows reads from the program file without running it: the version
resource, the icon, the manifest, and the two exported values a
hybrid-graphics driver reads to put the program on the discrete GPU.
    resources.py PROGRAM.EXE ROOT.ICO VERSION
Prints one line a fact; exits with the number that do not hold."""
import struct
import sys

import pefile

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
VFT_APP = 1
STRINGS = {"ProductName": "Tarvoquin配置检测", "FileDescription": "【Tarvoquin】配置检测",
           "OriginalFilename": "TarvoquinCheck.exe"}
GPU_EXPORTS = ("NvOptimusEnablement", "AmdPowerXpressRequestHighPerformance")


def resources(pe, kind):
    """The bytes of each resource of a kind, in its first language."""
    for group in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if group.id == kind:
            found = [entry.directory.entries[0].data.struct for entry in group.directory.entries]
            return [pe.get_data(data.OffsetToData, data.Size) for data in found]
    return []


def ico_images(ico):
    places = [struct.unpack_from("<II", ico, 6 + i * 16 + 8)
              for i in range(struct.unpack_from("<H", ico, 4)[0])]
    return sorted(ico[offset:offset + size] for size, offset in places)


def facts(exe, ico, version):
    pe = pefile.PE(exe)
    major, minor, patch = (int(n) for n in version.split("."))
    fixed = pe.VS_FIXEDFILEINFO[0]
    for kind in ("File", "Product"):
        yield "%s version %s" % (kind, version), (getattr(fixed, kind + "VersionMS"), getattr(
            fixed, kind + "VersionLS")) == (major << 16 | minor, patch << 16)
    yield "file type: an application", fixed.FileType == VFT_APP
    translations = [var.entry for info in pe.FileInfo[0] if info.Key == b"VarFileInfo"
                    for var in info.Var]
    yield "translation: Chinese (PRC), Unicode", translations == [
        {b"Translation": "0x0804 0x04b0"}]
    strings = {table.LangID.decode(): table.entries for info in pe.FileInfo[0]
               if info.Key == b"StringFileInfo" for table in info.StringTable}.get("080404b0", {})
    for name, text in dict(STRINGS, FileVersion=version, ProductVersion=version).items():
        yield "%s \"%s\"" % (name, text), strings.get(name.encode()) == text.encode("utf-8")
    yield "exactly one icon", len(resources(pe, RT_GROUP_ICON)) == 1
    yield "the icon's images are root.ico's", sorted(resources(pe, RT_ICON)) == ico_images(ico)
    manifest = b"".join(resources(pe, RT_MANIFEST))
    yield "the manifest asks to run as the invoker", (
        b'<requestedExecutionLevel level="asInvoker"' in manifest)
    # A supported-OS entry would change what the version test is told.
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
