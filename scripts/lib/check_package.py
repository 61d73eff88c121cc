"""Checks a package written by scripts/release (run by it; see there).

    check_package.py ZIP VERSION ROOT WIN_BUILD

Exits non-zero, naming every fault, when the zip breaks one of these:
  - one version everywhere: CMakeLists.txt's VERSION is the zip's name and
    folder, the first line of ZUMORIKA.TXT and the version resource and
    manifest of zumorika.exe;
  - the files and their encodings (the BAT file and the guide Shift-JIS with
    CR LF, LICENSE.TXT and NOTICES.TXT as in the repository, with CR LF);
  - the .sha256 file beside the zip matches it;
  - every library linked into zumorika.exe (from the link map that was
    written with it) has its notices in NOTICES.TXT, of the version installed,
    and the guide's list of the libraries built in names each of them and
    no other.
"""
import hashlib
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

PACKAGE_FILES = ["zumorika.exe", "ZUMORIKA.BAT", "ZUMORIKA.TXT", "LICENSE.TXT", "NOTICES.TXT", "SBOM.cdx.json"]
IJG_SENTENCE = "This software is based in part on the work of the Independent JPEG Group."

# Which files of which origin each library in NOTICES.TXT stands for. The
# origin is the Debian package that installed the file, or ".deps" for what
# scripts/setup built. A linked file no rule matches fails the check: a new
# library needs its notices before it can ship.
IMPORT_LIBRARY = "import library"
# (library of NOTICES.TXT, origin, file name pattern, component of SBOM.cdx.json)
RULES = [
    ("libjpeg-turbo", ".deps", r"libjpeg\.a", "libjpeg-turbo"),
    ("libpng", ".deps", r"libpng\.a", "libpng"),
    # The static archive only: the package's libz.dll.a would need zlib1.dll.
    ("zlib", "libz-mingw-w64-dev", r"libz\.a", "zlib"),
    ("winpthreads", "mingw-w64-x86-64-dev", r"lib(win)?pthread\.a", "winpthreads"),
    ("MinGW-w64 runtime", "mingw-w64-x86-64-dev", r"crt\w*\.o|libmingw32\.a|libmingwex\.a|libmoldname\.a|libmsvcrt\.a",
     "mingw-w64-runtime"),
    ("MinGW-w64 runtime", "mingw-w64-x86-64-dev", IMPORT_LIBRARY, "mingw-w64-runtime"),
    ("GCC runtime libraries (libgcc, libstdc++)", "gcc-mingw-w64-x86-64-posix",
     r"libgcc\.a|libgcc_eh\.a|crtbegin\.o|crtend\.o", "libgcc"),
    # The stack protector's and the fortified functions' checks.
    ("GCC runtime libraries (libgcc, libstdc++)", "gcc-mingw-w64-x86-64-posix", r"libssp(_nonshared)?\.a", "libssp"),
    ("GCC runtime libraries (libgcc, libstdc++)", "g++-mingw-w64-x86-64-posix", r"libstdc\+\+\.a", "libstdc++"),
]
# How the guide's list of the libraries built into zumorika.exe names each
# library of NOTICES.TXT.
GUIDE_NAMES = {
    "libjpeg-turbo": "libjpeg-turbo",
    "libpng": "libpng",
    "zlib": "zlib",
    "winpthreads": "winpthreads",
    "MinGW-w64 runtime": "MinGW-w64 ランタイム",
    "GCC runtime libraries (libgcc, libstdc++)": "GCC ランタイムライブラリ",
}
# The sentence that opens the guide's list; the list is the lines indented
# further that follow it, up to a blank line.
GUIDE_LIST_OPENING = "zumorika.exe には次のライブラリを組み込んでいます。"

# The package whose version the notices of scripts/setup's builds must name.
DEPS_VERSION_FROM = {"libjpeg-turbo": "libjpeg62-turbo-dev", "libpng": "libpng-dev"}

faults = []


def fault(text):
    faults.append(text)


def upstream(deb_version):
    """The upstream release, without a repack suffix (1.2.13+dfsg-1 is 1.2.13),
    as scripts/notices writes it."""
    version = deb_version.split(":", 1)[-1].split("-", 1)[0]
    return re.sub(r"[+~](dfsg|ds|repack)\d*$", "", version)


def crlf(data):
    return data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b"")


# --- the executable's resources --------------------------------------------

def pe_resources(exe):
    """{type id: [data, ...]} of a PE file's resource section."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    sections, optional_size = struct.unpack_from("<H", exe, pe + 6)[0], struct.unpack_from("<H", exe, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", exe, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", exe, directories + 2 * 8)[0]
    table = optional + optional_size
    spans = []
    for i in range(sections):
        vsize, va, raw_size, raw = struct.unpack_from("<IIII", exe, table + 40 * i + 8)
        spans.append((va, max(vsize, raw_size), raw))

    def offset(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"RVA {rva:#x} outside the sections")

    root = offset(rsrc_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", exe, root + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", exe, root + directory + 16 + 8 * i)
            yield name, target

    def leaves(target):
        if target & 0x80000000:
            for _, sub in entries(target & 0x7FFFFFFF):
                yield from leaves(sub)
        else:
            rva, size = struct.unpack_from("<II", exe, root + target)
            yield exe[offset(rva):offset(rva) + size]

    return {name: list(leaves(target)) for name, target in entries(0)}


def version_string(block, key):
    text = block.decode("utf-16-le", errors="replace")
    m = re.search(re.escape(key) + "\0+([^\0]*)\0", text)
    return m.group(1) if m else None


def check_exe(exe, version):
    if exe[:2] != b"MZ":
        fault("zumorika.exe is no Windows executable")
        return
    try:
        resources = pe_resources(exe)
    except (ValueError, struct.error) as e:
        fault(f"zumorika.exe: cannot read its resources ({e})")
        return
    numbers = [int(n) for n in version.split(".")] + [0]
    blocks = resources.get(16, [])  # RT_VERSION
    if len(blocks) != 1:
        fault(f"zumorika.exe has {len(blocks)} version resources, wanted 1")
    for block in blocks:
        fixed = block.find(struct.pack("<I", 0xFEEF04BD))
        if fixed < 0:
            fault("zumorika.exe: the version resource has no fixed part")
            continue
        fms, fls, pms, pls = struct.unpack_from("<IIII", block, fixed + 8)
        for name, ms, ls in (("FILEVERSION", fms, fls), ("PRODUCTVERSION", pms, pls)):
            got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
            if got != numbers:
                fault(f"zumorika.exe: {name} {got}, wanted {numbers}")
        for key in ("FileVersion", "ProductVersion"):
            got = version_string(block, key)
            if got != version:
                fault(f"zumorika.exe: {key} {got!r}, wanted {version!r}")
    manifests = resources.get(24, [])  # RT_MANIFEST
    identity = re.search(rb'<assemblyIdentity[^>]*name="Zumorika\.zumorika"[^>]*>', b"".join(manifests))
    attribute = re.search(rb'version="([^"]*)"', identity.group(0)) if identity else None
    got = attribute.group(1).decode() if attribute else None
    if got != version + ".0":
        fault(f"zumorika.exe: the manifest's assemblyIdentity version is {got!r}, wanted {version + '.0'!r}")


# --- hardening -----------------------------------------------------------------

# IMAGE_DLLCHARACTERISTICS_* of the optional header that the exe must carry.
DLL_CHARACTERISTICS = [
    (0x0020, "high-entropy ASLR (HIGH_ENTROPY_VA)"),
    (0x0040, "ASLR (DYNAMIC_BASE)"),
    (0x0100, "DEP (NX_COMPAT)"),
]
# What the link map's cross reference table (ld --cref) shows when the
# protector and the fortified functions are in: the guard and the failure
# handler of -fstack-protector-strong defined by the static libssp.a and used
# by Zumorika's own code, and at least one checked copy of _FORTIFY_SOURCE
# (__memcpy_chk and its kin) called from somewhere.
STACK_PROTECTOR_SYMBOLS = ["__stack_chk_fail", "__stack_chk_guard"]
FORTIFIED_SYMBOL = re.compile(r"__(mem|str|stp|wcs|wmem|[a-z]*printf|gets)\w*_chk")
STATIC_LIBSSP = re.compile(r"(^|/)libssp\.a\(")


def own_code(path):
    """True for an object of Zumorika's own build in a link map."""
    return bool(re.search(r"(^|/)CMakeFiles/zumorika\.dir/|(^|/)libzumorika_\w+\.a\(", path))


def cross_references(map_text):
    """{symbol: [file defining it, files referring to it...]} from the cross
    reference table of a GNU ld map; None when the map has none."""
    if "\nCross Reference Table\n" not in map_text:
        return None
    table = map_text.split("\nCross Reference Table\n", 1)[1]
    references, symbol = {}, None
    for line in table.splitlines():
        # A long name stands alone on its line, its files on the next ones.
        m = re.match(r"^(\S+)(?:\s+(\S.*))?$", line)
        if m and m.group(1) != "Symbol":
            symbol = m.group(1)
            references[symbol] = [m.group(2).strip()] if m.group(2) else []
        elif symbol and line.startswith(" ") and line.strip():
            references[symbol].append(line.strip())
    return references


def pe_optional_header(exe):
    """(offset of the optional header, its magic), checked for PE32+."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    optional = pe + 24
    magic = struct.unpack_from("<H", exe, optional)[0]
    if magic != 0x20B:
        raise ValueError(f"optional header magic {magic:#x}, not PE32+")
    return optional


def dll_characteristics(exe):
    return struct.unpack_from("<H", exe, pe_optional_header(exe) + 70)[0]


def certificate_table(exe):
    """(file offset, size) of the Authenticode signature; size 0 when unsigned."""
    return struct.unpack_from("<II", exe, pe_optional_header(exe) + 112 + 4 * 8)


def check_hardening(exe, map_text):
    """Faults unless the exe has DEP, ASLR and high-entropy ASLR and its link
    map shows the stack protector and fortified functions linked in
    statically; returns what it found, for the report."""
    try:
        flags = dll_characteristics(exe)
    except (ValueError, struct.error) as e:
        fault(f"zumorika.exe: cannot read its PE header ({e})")
        return None
    for bit, what in DLL_CHARACTERISTICS:
        if not flags & bit:
            fault(f"zumorika.exe lacks {what}: DllCharacteristics {flags:#06x}")
    found = f"DllCharacteristics {flags:#06x} (" + ", ".join(what for bit, what in DLL_CHARACTERISTICS if flags & bit) + ")"
    references = cross_references(map_text)
    if references is None:
        fault("the link map has no cross reference table (ld --cref): the hardening cannot be checked")
        return found
    for symbol in STACK_PROTECTOR_SYMBOLS:
        files = references.get(symbol, [])
        users = sum(own_code(f) for f in files[1:])
        if not users:
            fault(f"zumorika.exe has no stack protector: its own code does not use {symbol} (-fstack-protector-strong)")
        elif not STATIC_LIBSSP.search(files[0]):
            fault(f"zumorika.exe takes {symbol} from {files[0]}, not from the static libssp.a")
        else:
            found += f"; {symbol} from libssp.a, used by {users} of Zumorika's objects and {len(files) - 1 - users} others"
    fortified = sorted(symbol for symbol, files in references.items()
                       if FORTIFIED_SYMBOL.fullmatch(symbol) and len(files) > 1)
    if not fortified:
        fault("zumorika.exe calls no fortified function: the link map has no __*_chk in use (_FORTIFY_SOURCE=2)")
    found += f"; fortified functions called: {', '.join(fortified) or 'none'}"
    return found


def without_signature(exe):
    """The exe's bytes with its Authenticode signature removed by osslsigncode,
    as a user's maintainer would; the bytes themselves when unsigned."""
    if certificate_table(exe)[1] == 0:
        return exe
    with tempfile.TemporaryDirectory() as tmp:
        signed, unsigned = os.path.join(tmp, "signed.exe"), os.path.join(tmp, "unsigned.exe")
        with open(signed, "wb") as f:
            f.write(exe)
        run = subprocess.run(["osslsigncode", "remove-signature", "-in", signed, "-out", unsigned],
                             capture_output=True, text=True)
        if run.returncode != 0:
            fault(f"zumorika.exe is signed, and osslsigncode cannot remove the signature: {run.stdout}{run.stderr}")
            return exe
        with open(unsigned, "rb") as f:
            return f.read()


# --- what the executable links ---------------------------------------------

def linked_inputs(map_text):
    """{path: set of archive members, or None for an object file} from a GNU ld map."""
    inputs = {}
    archive_part = map_text.split("Archive member included to satisfy reference by file (symbol)", 1)[-1]
    archive_part = re.split(r"^(?:Discarded input sections|Memory Configuration)$", archive_part,
                            maxsplit=1, flags=re.M)[0]
    for m in re.finditer(r"^([^\s(][^(]*)\(([^)]*)\)", archive_part, re.M):
        inputs.setdefault(m.group(1), set()).add(m.group(2))
    for m in re.finditer(r"^LOAD (\S+)$", map_text, re.M):
        path = m.group(1)
        if not path.endswith(".a"):
            inputs.setdefault(path, None)
    return inputs


def owners(paths):
    """{path: Debian package} for paths dpkg knows."""
    if not paths:
        return {}
    run = subprocess.run(["dpkg", "-S", *paths], capture_output=True, text=True)
    found = {}
    for line in run.stdout.splitlines():
        package, _, path = line.partition(": ")
        found[path] = package.split(",")[0].split(":")[0].strip()
    return found


def package_version(package, field="Version"):
    run = subprocess.run(["dpkg-query", "-W", "-f=${" + field + "}", package], capture_output=True, text=True)
    return upstream(run.stdout.strip()) if run.returncode == 0 else None


def notices_libraries(notices):
    """{library: version} from the Library: and Version: lines of NOTICES.TXT."""
    return dict(re.findall(r"^Library: (.+)\nVersion: (\S+)$", notices, re.M))


class Linked:
    """One library file linked into zumorika.exe and what it belongs to."""

    def __init__(self, path, origin, library, component):
        self.path, self.origin, self.library, self.component = path, origin, library, component

    def version(self):
        """The version NOTICES.TXT must name: the upstream release of the
        Debian package, for scripts/setup's builds that of the native package
        of the same library."""
        if self.origin == ".deps":
            return package_version(DEPS_VERSION_FROM[self.library], "source:Version")
        return package_version(self.origin)


def trace_linked(map_text, build, deps):
    """[Linked] for every library file the link map names, traced to the
    Debian package that installed it or to scripts/setup's builds; faults for
    files no rule covers."""
    build, deps = os.path.realpath(build), os.path.realpath(deps)
    inputs = linked_inputs(map_text)
    real = {p: os.path.realpath(os.path.join(build, p)) for p in inputs}
    system = owners(sorted({r for r in real.values()
                            if not r.startswith(build + os.sep) and not r.startswith(deps + os.sep)}))
    traced = []
    for path, members in sorted(inputs.items()):
        r, name = real[path], os.path.basename(real[path])
        if r.startswith(build + os.sep):
            own = re.fullmatch(r"libzumorika_\w+\.a", name) or (members is None and own_code(r))
            if not own:
                fault(f"{path}: built beside Zumorika but not Zumorika's own code; add its notices and a rule")
            continue
        origin = ".deps" if r.startswith(deps + os.sep) else system.get(r, "no Debian package")
        stem = name[:-2] if name.endswith(".a") else None
        is_import = bool(stem and members and all(re.fullmatch(re.escape(stem) + r"(s\d+|h|t)\.o", m) for m in members))
        rule = next((rule for rule in RULES if rule[1] == origin and (
            (rule[2] == IMPORT_LIBRARY and is_import) or
            (rule[2] != IMPORT_LIBRARY and re.fullmatch(rule[2], name)))), None)
        if rule is None:
            fault(f"{r} (from {origin}) is linked into zumorika.exe, and no notices cover it")
            continue
        traced.append(Linked(r, origin, rule[0], rule[3]))
    return traced


def check_coverage(traced, notices):
    covered = notices_libraries(notices)
    used = {}
    for linked in traced:
        used.setdefault(linked.library, set()).add(linked.version())
    for library, versions in sorted(used.items()):
        if library not in covered:
            fault(f"NOTICES.TXT has no notices of {library}, which zumorika.exe links")
        elif {covered[library]} != versions:
            fault(f"NOTICES.TXT names {library} {covered[library]}, but {', '.join(sorted(map(str, versions)))} "
                  "is linked: run scripts/notices")
    return sorted(used)


# --- the bill of materials ------------------------------------------------------

def validate_sbom(path, deps):
    """Faults unless the CycloneDX validator of scripts/lib/sbom (installed by
    scripts/setup into DEPS/sbom) finds the document valid."""
    modules = os.path.join(deps, "sbom", "node_modules")
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sbom", "validate.cjs")
    if not os.path.isdir(modules):
        fault(f"no CycloneDX validator in {modules}: run scripts/setup")
        return
    run = subprocess.run(["node", script, path], capture_output=True, text=True,
                         env=dict(os.environ, NODE_PATH=modules))
    if run.returncode != 0:
        fault(f"SBOM.cdx.json does not validate: {run.stdout}{run.stderr}".rstrip())


def check_sbom(data, traced, version):
    """Faults unless SBOM.cdx.json describes zumorika VERSION and lists each
    component the link map shows, at its version, with a licence, its Debian
    source and that source's SHA-256, and no other component."""
    try:
        document = json.loads(data)
        subject = document["metadata"]["component"]
        components = {c["name"]: c for c in document.get("components", [])}
    except (ValueError, KeyError, TypeError) as e:
        fault(f"SBOM.cdx.json cannot be read ({e!r})")
        return
    if (subject.get("name"), subject.get("version")) != ("zumorika", version):
        fault(f"SBOM.cdx.json describes {subject.get('name')} {subject.get('version')}, wanted zumorika {version}")
    wanted = {}
    for linked in traced:
        wanted.setdefault(linked.component, set()).add(linked.version())
    for name in sorted(set(wanted) - set(components)):
        fault(f"SBOM.cdx.json lacks {name}, which zumorika.exe links")
    for name in sorted(set(components) - set(wanted)):
        fault(f"SBOM.cdx.json lists {name}, which zumorika.exe does not link")
    for name in sorted(set(wanted) & set(components)):
        component = components[name]
        if {component.get("version")} != wanted[name]:
            fault(f"SBOM.cdx.json: {name} {component.get('version')}, but {', '.join(sorted(map(str, wanted[name])))} "
                  "is linked")
        if not component.get("licenses"):
            fault(f"SBOM.cdx.json: {name} has no licence")
        if not str(component.get("purl", "")).startswith("pkg:deb/debian/"):
            fault(f"SBOM.cdx.json: {name} names no Debian source package")
        sources = [h.get("content", "") for r in component.get("externalReferences", [])
                   if r.get("type") == "source-distribution" for h in r.get("hashes", []) if h.get("alg") == "SHA-256"]
        if not sources or not all(re.fullmatch(r"[0-9a-f]{64}", h) for h in sources):
            fault(f"SBOM.cdx.json: {name} has no SHA-256 of its source")


def guide_library_lines(guide):
    """The lines of the guide's list of the libraries built in, stripped."""
    lines = guide.replace("\r\n", "\n").split("\n")
    start = next((i for i, line in enumerate(lines) if GUIDE_LIST_OPENING in line), None)
    if start is None:
        return []
    listed = []
    for line in lines[start + 1:]:
        if line.startswith("    ") and line.strip():
            listed.append(line.strip())
        elif listed:
            break
    return listed


def check_guide_libraries(guide, libraries):
    """Faults unless the guide's list names every library linked and no other."""
    listed = guide_library_lines(guide)
    if not listed:
        fault(f"ZUMORIKA.TXT has no list of the libraries built in after {GUIDE_LIST_OPENING!r}")
        return
    names = {library: GUIDE_NAMES.get(library) for library in libraries}
    for library, name in sorted(names.items()):
        if name is None:
            fault(f"{library} has no name for the guide: add it to GUIDE_NAMES in check_package.py")
        elif not any(name in line for line in listed):
            fault(f"ZUMORIKA.TXT's list of the libraries built in lacks {name} ({library})")
    for line in listed:
        if not any(name and name in line for name in names.values()):
            fault(f"ZUMORIKA.TXT lists {line!r} among the libraries built in, but zumorika.exe links no such library")


# --- the package -------------------------------------------------------------

def main():
    zip_path, version, root, build = sys.argv[1:5]
    deps = os.path.join(root, ".deps")
    if not re.fullmatch(r"\d+\.\d+\.\d+", version):
        fault(f"CMakeLists.txt: version {version!r} is not MAJOR.MINOR.PATCH")
        version = version + ".0" * (2 - version.count("."))
    folder = f"zumorika-{version}"
    if os.path.basename(zip_path) != folder + ".zip":
        fault(f"{zip_path}: the name should be {folder}.zip")
    if not os.path.isfile(zip_path):
        print(f"{zip_path}: no such package (run scripts/release)", file=sys.stderr)
        sys.exit(1)
    with zipfile.ZipFile(zip_path) as z:
        files = {n.split("/")[-1]: z.read(n) for n in z.namelist() if not n.endswith("/")}
        outside = [n for n in z.namelist() if not n.startswith(folder + "/")]
    if outside:
        fault(f"{zip_path}: outside the folder {folder}/: {outside}")
    if sorted(files) != sorted(PACKAGE_FILES):
        fault(f"{zip_path}: holds {sorted(files)}, wanted {sorted(PACKAGE_FILES)}")
    get = lambda name: files.get(name, b"")

    check_exe(get("zumorika.exe"), version)

    for name in ("ZUMORIKA.BAT", "ZUMORIKA.TXT"):
        if not crlf(get(name)):
            fault(f"{name} needs CR LF line ends")
        try:
            get(name).decode("cp932")
        except UnicodeDecodeError as e:
            fault(f"{name} is not Shift-JIS ({e})")
    guide = get("ZUMORIKA.TXT").decode("cp932", errors="replace")
    first = guide.split("\r\n", 1)[0]
    m = re.search(r"バージョン (\S+)\)", first)
    if not m or m.group(1) != version:
        fault(f"ZUMORIKA.TXT: the first line {first!r} should name version {version}")
    for name in ("LICENSE.TXT", "NOTICES.TXT"):
        if name not in guide:
            fault(f"ZUMORIKA.TXT does not point to {name}")

    def as_shipped(path):
        """CR LF, and a byte order mark unless the text is plain ASCII."""
        with open(path, "rb") as f:
            data = f.read()
        return (b"" if data.isascii() else b"\xef\xbb\xbf") + data.replace(b"\n", b"\r\n")
    for name, source in (("LICENSE.TXT", "LICENSE"), ("NOTICES.TXT", "packaging/NOTICES.txt")):
        if get(name) != as_shipped(os.path.join(root, source)):
            fault(f"{name} differs from {source} (with CR LF, and a byte order mark unless ASCII)")
    notices = get("NOTICES.TXT").decode("utf-8-sig", errors="replace").replace("\r\n", "\n")
    if IJG_SENTENCE not in notices:
        fault(f"NOTICES.TXT lacks the sentence {IJG_SENTENCE!r}")

    sums = zip_path + ".sha256"
    with open(zip_path, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    try:
        with open(sums, encoding="ascii") as f:
            if f.read() != f"{digest}  {os.path.basename(zip_path)}\n":
                fault(f"{sums} does not match the zip")
    except OSError as e:
        fault(f"{sums}: {e.strerror}")

    # The link map describes the exe it was written with: the one in the
    # build folder. A signed exe is that exe once its signature is removed.
    built = os.path.join(build, "src", "window", "zumorika.exe")
    libraries, hardening = [], None
    try:
        with open(built, "rb") as f:
            same = f.read() == without_signature(get("zumorika.exe"))
        with open(os.path.join(build, "src", "window", "zumorika.map"), encoding="utf-8", errors="replace") as f:
            map_text = f.read()
        if not same:
            fault(f"{zip_path}: its zumorika.exe is not the one in {build}, so its link map is unknown")
        else:
            hardening = check_hardening(get("zumorika.exe"), map_text)
            traced = trace_linked(map_text, build, deps)
            libraries = check_coverage(traced, notices)
            check_guide_libraries(guide, libraries)
            check_sbom(get("SBOM.cdx.json"), traced, version)
    except OSError as e:
        fault(f"{e.filename}: {e.strerror} (the link map comes from the build: run scripts/release)")
    if "SBOM.cdx.json" in files:
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "SBOM.cdx.json")
            with open(path, "wb") as f:
                f.write(get("SBOM.cdx.json"))
            validate_sbom(path, deps)

    for text in faults:
        print(f"{zip_path}: {text}", file=sys.stderr)
    if faults:
        sys.exit(1)
    signed = "signed" if certificate_table(get("zumorika.exe"))[1] else "unsigned"
    print(f"{zip_path}: {', '.join(sorted(files))}; version {version}; notices cover {', '.join(libraries)}")
    print(f"{zip_path}: zumorika.exe {signed}; {hardening}")
    print(f"{zip_path}: SBOM.cdx.json valid CycloneDX, listing what the link map shows")


if __name__ == "__main__":
    main()
