"""Writes SBOM.cdx.json, the package's CycloneDX bill of materials (run by
scripts/release).

    sbom.py OUT BUILD DEPS ROOT VERSION EPOCH

Its components are what the link map of zumorika.exe in BUILD shows, traced
to their Debian packages by check_package.py's rules (one component per
rule's component name): each with its upstream version, the Debian source
package and version it was built from (as a purl), its licence as an SPDX
expression, and the SHA-256 of that source package's files. For the
libraries scripts/setup builds (libjpeg-turbo, libpng) the hashes are those
of the .dsc it unpacked in DEPS/src and of the files the .dsc lists, each
checked against the file there; for the libraries Debian installs as
binaries, the hashes the archive's source index gives for their source
package and for the sources their Built-Using field names (apt-cache
showsrc). zumorika itself is the document's subject, with
its commit and the SHA-256 of `git archive --format=tar COMMIT`.

The document's time is EPOCH (the commit's time, SOURCE_DATE_EPOCH) and its
serial number derives from the commit, so that the same commit gives the same
bytes; the file is plain ASCII with LF line ends.
"""
import hashlib
import json
import os
import re
import subprocess
import sys
import time
import urllib.parse
import uuid

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_package as check  # noqa: E402

SPEC_VERSION = "1.6"
GCC_RUNTIME = "GPL-3.0-or-later WITH GCC-exception-3.1"
# component: (what it does in zumorika.exe, SPDX licence expression)
COMPONENTS = {
    "libjpeg-turbo": ("JPEG reading and writing", "IJG AND BSD-3-Clause AND Zlib"),
    "libpng": ("PNG reading", "libpng-2.0"),
    "zlib": ("inflating PNG data", "Zlib"),
    "winpthreads": ("the threads under std::thread and std::mutex", "MIT AND BSD-3-Clause"),
    "mingw-w64-runtime": ("C runtime start-up and support, import libraries of Windows DLLs",
                          "ZPL-2.1 AND BSD-2-Clause AND BSD-3-Clause AND ISC"),
    "libgcc": ("GCC's support routines and unwinder", GCC_RUNTIME),
    "libstdc++": ("the C++ standard library", GCC_RUNTIME),
    "libssp": ("the checks of the stack protector and of the fortified string functions", GCC_RUNTIME),
}
# The Debian source package of each library scripts/setup builds.
DEPS_SOURCE = {"libjpeg-turbo": "libjpeg-turbo", "libpng": "libpng1.6"}


def sha256_file(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def deb822_field(stanza, name):
    """The value of a field of one deb822 stanza, continuation lines joined
    with newlines."""
    m = re.search(rf"^{re.escape(name)}:(.*(?:\n[ \t].*)*)", stanza, re.M)
    return m.group(1).strip() if m else None


def checksums(stanza):
    """[(file name, sha256)] of a stanza's Checksums-Sha256 field."""
    field = deb822_field(stanza, "Checksums-Sha256") or ""
    return [(name, digest) for digest, _size, name in
            (line.split() for line in field.splitlines() if line.strip())]


def source_of_setup_build(component, deps):
    """([(source package, version, [(file, sha256)])], whence) from the .dsc
    in DEPS/src that scripts/setup unpacked and built."""
    source = DEPS_SOURCE[component]
    srcdir = os.path.join(deps, "src")
    dscs = sorted(n for n in os.listdir(srcdir) if n.startswith(source + "_") and n.endswith(".dsc"))
    if len(dscs) != 1:
        raise RuntimeError(f"{srcdir}: {len(dscs)} {source} .dsc files, wanted the one scripts/setup built")
    path = os.path.join(srcdir, dscs[0])
    with open(path, encoding="utf-8") as f:
        stanza = f.read()
    files = [(dscs[0], sha256_file(path))]
    for name, digest in checksums(stanza):
        there = os.path.join(srcdir, name)
        if os.path.exists(there) and sha256_file(there) != digest:
            raise RuntimeError(f"{there} does not match its .dsc")
        files.append((name, digest))
    return [(source, deb822_field(stanza, "Version"), files)], f"the .dsc scripts/setup unpacked ({dscs[0]})"


def archive_source(source, version):
    """[(file, sha256)] of a source package version in the archive's index."""
    index = subprocess.run(["apt-cache", "showsrc", source], capture_output=True, text=True).stdout
    for stanza in index.split("\n\n"):
        if deb822_field(stanza, "Package") == source and deb822_field(stanza, "Version") == version:
            return checksums(stanza)
    raise RuntimeError(f"apt-cache showsrc {source} has no version {version} "
                       "(scripts/setup enables the source index)")


def source_of_debian_package(package):
    """([(source package, version, [(file, sha256)])], whence) of an
    installed binary package: its own source, then the sources its
    Built-Using field names (the cross compiler's runtime libraries are built
    from gcc-12's source, which gcc-mingw-w64 only packages)."""
    run = subprocess.run(["dpkg-query", "-W", "-f=${source:Package}\t${source:Version}\t${Built-Using}", package],
                         capture_output=True, text=True, check=True)
    source, version, built_using = run.stdout.split("\t")
    sources = [(source, version)] + re.findall(r"([a-z0-9][a-z0-9+.-]*) \(= ([^)]+)\)", built_using)
    return [(name, v, archive_source(name, v)) for name, v in sources], "apt-cache showsrc"


def library_component(name, linked, deps):
    what, licence = COMPONENTS[name]
    first = linked[0]
    if first.origin == ".deps":
        sources, whence = source_of_setup_build(name, deps)
        built = "built by scripts/setup from its source package"
        version = check.upstream(sources[0][1])
    else:
        sources, whence = source_of_debian_package(first.origin)
        binary_version = subprocess.run(["dpkg-query", "-W", "-f=${Version}", first.origin],
                                        capture_output=True, text=True, check=True).stdout
        built = f"{first.origin} {binary_version}"
        version = check.upstream(binary_version)
    source, source_version, _ = sources[0]
    properties = [
        {"name": "zumorika:debian-source", "value": f"{source} {source_version}"},
        {"name": "zumorika:debian-binary", "value": built},
        {"name": "zumorika:source-hashes-from", "value": whence},
        {"name": "zumorika:linked-files", "value": ", ".join(sorted({os.path.basename(l.path) for l in linked}))},
    ]
    if len(sources) > 1:
        properties.insert(1, {"name": "zumorika:debian-built-using",
                              "value": ", ".join(f"{s} {v}" for s, v, _ in sources[1:])})
    return {
        "type": "library",
        "bom-ref": name,
        "name": name,
        "version": version,
        "description": what,
        "licenses": [{"expression": licence}],
        "purl": f"pkg:deb/debian/{source}@{urllib.parse.quote(source_version, safe='+~.')}?arch=source",
        "externalReferences": [
            {"type": "source-distribution", "url": file, "comment": f"{s} {v}",
             "hashes": [{"alg": "SHA-256", "content": digest}]}
            for s, v, files in sources for file, digest in files],
        "properties": properties,
    }


def git(root, *args):
    return subprocess.run(["git", "-C", root, *args], capture_output=True, check=True).stdout


def bill_of_materials(traced, deps, root, version, epoch):
    commit = git(root, "rev-parse", "HEAD").decode().strip()
    source_tar = hashlib.sha256(git(root, "archive", "--format=tar", commit)).hexdigest()
    by_component = {}
    for linked in traced:
        by_component.setdefault(linked.component, []).append(linked)
    components = [library_component(name, by_component[name], deps) for name in sorted(by_component)]
    zumorika = {
        "type": "application",
        "bom-ref": "zumorika",
        "name": "zumorika",
        "version": version,
        "description": "pastes the clipboard's picture into a Jw_cad drawing",
        "licenses": [{"license": {"id": "MIT"}}],
        "externalReferences": [
            {"type": "source-distribution", "url": f"zumorika-{commit}.tar",
             "comment": f"git archive --format=tar {commit}",
             "hashes": [{"alg": "SHA-256", "content": source_tar}]}],
        "properties": [{"name": "zumorika:commit", "value": commit}],
    }
    return {
        "bomFormat": "CycloneDX",
        "specVersion": SPEC_VERSION,
        "serialNumber": f"urn:uuid:{uuid.uuid5(uuid.NAMESPACE_URL, f'zumorika/{version}/{commit}')}",
        "version": 1,
        "metadata": {
            "timestamp": time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(epoch)),
            "lifecycles": [{"phase": "build"}],
            "component": zumorika,
        },
        "components": components,
        "dependencies": [{"ref": "zumorika", "dependsOn": [c["bom-ref"] for c in components]}] +
                        [{"ref": c["bom-ref"]} for c in components],
    }


def main():
    out, build, deps, root, version, epoch = sys.argv[1:7]
    with open(os.path.join(build, "src", "window", "zumorika.map"), encoding="utf-8", errors="replace") as f:
        traced = check.trace_linked(f.read(), build, deps)
    unknown = sorted({l.component for l in traced} - set(COMPONENTS))
    if check.faults or unknown:
        for text in check.faults + [f"{name}: no licence in sbom.py's COMPONENTS" for name in unknown]:
            print(f"sbom.py: {text}", file=sys.stderr)
        sys.exit(1)
    try:
        document = bill_of_materials(traced, deps, root, version, int(epoch))
    except (RuntimeError, OSError, subprocess.CalledProcessError) as e:
        print(f"sbom.py: {e}", file=sys.stderr)
        sys.exit(1)
    with open(out, "w", encoding="ascii", newline="\n") as f:
        json.dump(document, f, indent=2, ensure_ascii=True)
        f.write("\n")


if __name__ == "__main__":
    main()
