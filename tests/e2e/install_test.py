#!/usr/bin/env python3
"""The installed program: `cmake --install --strip` into a temporary prefix puts the two programs
(stripped), the album templates, the manual pages, the desktop entry and the icons where a Linux
desktop looks for them, and the installed snapfolio-cli, moved to another directory, still finds
its template and writes an album with it, run from outside the source tree. Then the Debian
package (`cpack -G DEB`) is installed with dpkg, makes an album, and is removed: as root only,
and only where no package of that name is installed already.

When the system lets us make a private mount namespace (`unshare -rm`), the moved program runs
with empty directories mounted over the source tree's data and over the configured install
directory, so that no other copy of the template can be reached at all.

Exit status: 0 all checks passed, 1 a check failed.
"""

import argparse
import filecmp
import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile

ICON_SIZES = [16, 24, 32, 48, 64, 128, 256]
PHOTOS = ["tiny.JPG", "panorama.jpg"]


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
            print("FAIL:", message)
        return condition


def png_size(path):
    """Width and height from a PNG file's IHDR chunk; None when it is not a PNG."""
    with open(path, "rb") as f:
        head = f.read(24)
    if len(head) < 24 or head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def executable(path):
    return os.path.isfile(path) and bool(os.stat(path).st_mode & stat.S_IXUSR)


def expected_files(source):
    files = {"bin/snapfolio", "bin/snapfolio-cli", "share/applications/snapfolio.desktop",
             "share/man/man1/snapfolio.1", "share/man/man1/snapfolio-cli.1"}
    files.update(f"share/snapfolio/templates/{name}"
                 for name in os.listdir(os.path.join(source, "data/templates")))
    files.update(f"share/icons/hicolor/{s}x{s}/apps/snapfolio.png" for s in ICON_SIZES)
    return files


def check_tree(prefix, source, checks):
    installed = {os.path.relpath(os.path.join(d, f), prefix)
                 for d, _, names in os.walk(prefix) for f in names}
    expected = expected_files(source)
    checks.expect(installed == expected,
                  f"installed beyond the program: {sorted(installed - expected)}, "
                  f"missing: {sorted(expected - installed)}")
    for program in ("snapfolio", "snapfolio-cli"):
        path = os.path.join(prefix, "bin", program)
        if checks.expect(executable(path), f"bin/{program} is not installed as an executable"):
            sections = subprocess.run(["readelf", "-S", "-W", path], capture_output=True,
                                      text=True, timeout=60).stdout
            checks.expect(".debug_info" not in sections and ".symtab" not in sections,
                          f"bin/{program} is installed with its debug information")
    for page in ("snapfolio.1", "snapfolio-cli.1"):
        path = os.path.join(prefix, "share/man/man1", page)
        if os.path.isfile(path):
            run = subprocess.run(["man", "--warnings", "-l", "-P", "cat", path],
                                 capture_output=True, text=True, timeout=60,
                                 env=dict(os.environ, MANWIDTH="80", LANG="C.UTF-8"))
            checks.expect(run.returncode == 0 and "SYNOPSIS" in run.stdout
                          and not run.stderr.strip(),
                          f"man {page}: status {run.returncode}, {run.stderr.strip()}")

    for name in ("album.dat", "album-en.dat"):
        template = os.path.join(prefix, "share/snapfolio/templates", name)
        if checks.expect(os.path.isfile(template), f"share/snapfolio/templates/{name} is missing"):
            checks.expect(filecmp.cmp(template, os.path.join(source, "data/templates", name),
                                      shallow=False),
                          f"the installed template differs from data/templates/{name}")

    desktop = os.path.join(prefix, "share/applications/snapfolio.desktop")
    if checks.expect(os.path.isfile(desktop), "share/applications/snapfolio.desktop is missing"):
        with open(desktop, encoding="utf-8") as f:
            entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        checks.expect(entry.get("Exec", "").split()[0:1] == ["snapfolio"],
                      f"the desktop entry starts {entry.get('Exec')!r}, not the installed program")
        checks.expect(entry.get("Icon") == "snapfolio",
                      f"the desktop entry names the icon {entry.get('Icon')!r}")
        validator = shutil.which("desktop-file-validate")
        if validator:
            run = subprocess.run([validator, desktop], capture_output=True, text=True, timeout=60)
            checks.expect(run.returncode == 0 and not run.stdout.strip(),
                          f"desktop-file-validate: {run.stdout}{run.stderr}")
        else:
            print("note: desktop-file-validate not found (package desktop-file-utils); "
                  "the desktop entry was not validated")

    for size in ICON_SIZES:
        icon = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/snapfolio.png")
        if checks.expect(os.path.isfile(icon), f"icon {size}x{size} is missing"):
            checks.expect(png_size(icon) == (size, size),
                          f"icon {size}x{size} is a PNG of {png_size(icon)}")


def namespace_runner(hidden):
    """A command prefix that runs a program with empty directories over `hidden`, or None
    when this system allows no private mount namespace."""
    hidden = [d for d in hidden if os.path.isdir(d)]
    if not shutil.which("unshare"):
        return None
    probe = subprocess.run(["unshare", "-rm", "true"], capture_output=True, timeout=30)
    if probe.returncode != 0:
        return None
    mounts = "".join(f'mount -t tmpfs snapfolio-hidden "{d}" && ' for d in hidden)
    return ["unshare", "-rm", "sh", "-c", mounts + 'exec "$@"', "sh"]


def check_moved(prefix, moved, work, photos_dir, runner, checks):
    cli = os.path.join(moved, "bin/snapfolio-cli")
    wrap = runner or []
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    found = subprocess.run([*wrap, cli, "default-template"], cwd=work, env=env,
                           capture_output=True, text=True, timeout=60)
    expected = os.path.join(moved, "share/snapfolio/templates/album.dat")
    if not checks.expect(found.returncode == 0 and found.stdout.strip() == expected,
                         f"moved default-template printed {found.stdout.strip()!r} "
                         f"(status {found.returncode}, {found.stderr.strip()!r}), "
                         f"not {expected!r}"):
        return

    out = os.path.join(work, "album")
    os.mkdir(out)
    sets = {"Pict1Options/GAZOU1": "1", "Pict1Options/WIDTH1": "96",
            "Pict1Options/PRIFN1": "t_", "Pict2Options/GAZOU2": "0",
            "OutStyl/HTMLCK": "1", "OutStyl/HTMLFIL": "index.html",
            "OutStyl/ALBMTITL": "移動したインストール", "OutStyl/HTMLTMP": expected}
    args = [*wrap, cli, "convert", "--save", "--out", out]
    for key, value in sets.items():
        args += ["--set", f"{key}={value}"]
    args += [os.path.join(photos_dir, p) for p in PHOTOS]
    run = subprocess.run(args, cwd=work, env=env, capture_output=True, text=True, timeout=300)
    if not checks.expect(run.returncode == 0, f"moved convert exited {run.returncode}: "
                         f"{run.stderr.strip()}"):
        return
    checks.expect(os.path.isfile(os.path.join(work, "Snapfolio.ini")),
                  "convert --save stored no Snapfolio.ini in its working directory")
    for photo in PHOTOS:
        checks.expect(os.path.isfile(os.path.join(out, "t_" + photo)), f"t_{photo} not written")
    page_path = os.path.join(out, "index.html")
    if checks.expect(os.path.isfile(page_path), "no index.html written"):
        with open(page_path, encoding="utf-8") as f:
            page = f.read()
        checks.expect(page.startswith("<!DOCTYPE html>"), "the page is not the shipped template's")
        checks.expect("<title>移動したインストール（写真アルバム）</title>" in page,
                      "the page lacks the title")
        for photo in PHOTOS:
            checks.expect(f'src="t_{photo}"' in page, f"the page does not show t_{photo}")


def check_package(cmake, build, photos_dir, tmp, checks):
    """Makes the Debian package, installs it, makes an album with the installed program and
    removes the package."""
    if os.geteuid() != 0 or not shutil.which("dpkg"):
        print("note: not root (or no dpkg): the Debian package was not installed")
        return
    installed = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "snapfolio"],
                               capture_output=True, text=True)
    if "installed" in installed.stdout:
        print("note: a snapfolio package is installed already; the package was not tried")
        return
    cpack = os.path.join(os.path.dirname(cmake), "cpack")
    packages = os.path.join(tmp, "packages")
    made = subprocess.run([cpack, "-G", "DEB", "--config",
                           os.path.join(build, "CPackConfig.cmake"), "-B", packages],
                          capture_output=True, text=True, timeout=600)
    debs = [f for f in os.listdir(packages) if f.endswith(".deb")] if os.path.isdir(packages) else []
    if not checks.expect(made.returncode == 0 and len(debs) == 1,
                         f"cpack -G DEB: {made.stdout}{made.stderr}"):
        return
    deb = os.path.join(packages, debs[0])
    info = subprocess.run(["dpkg-deb", "-f", deb, "Depends"], capture_output=True, text=True)
    checks.expect("libqt6widgets6" in info.stdout and "libexiv2" in info.stdout,
                  f"the package's dependencies are not those of its libraries: {info.stdout}")
    install = subprocess.run(["dpkg", "-i", deb], capture_output=True, text=True, timeout=300)
    try:
        if not checks.expect(install.returncode == 0, f"dpkg -i: {install.stdout}{install.stderr}"):
            return
        photos = os.path.join(tmp, "package-photos")
        os.mkdir(photos)
        for photo in PHOTOS:
            shutil.copy(os.path.join(photos_dir, photo), photos)
        site = os.path.join(tmp, "package-site")
        run = subprocess.run(["/usr/bin/snapfolio-cli", "album", photos, "--out", site],
                             capture_output=True, text=True, timeout=600,
                             env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        checks.expect(run.returncode == 0 and os.path.isfile(os.path.join(site, "index.html")),
                      f"the packaged snapfolio-cli album exited {run.returncode}: "
                      f"{run.stderr.strip()[-2000:]}")
        checks.expect(os.path.isfile("/usr/share/man/man1/snapfolio-cli.1"),
                      "the package installs no manual page")
    finally:
        removed = subprocess.run(["dpkg", "-r", "snapfolio"], capture_output=True, text=True,
                                 timeout=300)
        checks.expect(removed.returncode == 0 and not os.path.exists("/usr/bin/snapfolio-cli"),
                      f"dpkg -r: {removed.stdout}{removed.stderr}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build", required=True, help="the configured and built tree")
    parser.add_argument("--source", required=True, help="the source tree")
    parser.add_argument("--configured-data", required=True,
                        help="the data directory compiled into the program")
    options = parser.parse_args()
    photos_dir = os.environ.get("SNAPFOLIO_PHOTOS", "")
    missing = [p for p in PHOTOS if not os.path.isfile(os.path.join(photos_dir, p))]
    if missing:
        sys.exit(f"FAIL: fixture photos missing in SNAPFOLIO_PHOTOS={photos_dir}: {missing}")

    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="snapfolio-install-") as tmp:
        prefix = os.path.join(tmp, "prefix")
        env = {k: v for k, v in os.environ.items() if k != "DESTDIR"}
        install = subprocess.run([options.cmake, "--install", options.build, "--strip",
                                  "--prefix", prefix],
                                 env=env, capture_output=True, text=True, timeout=300)
        if install.returncode != 0:
            sys.exit(f"FAIL: cmake --install: {install.stdout}{install.stderr}")
        check_tree(prefix, options.source, checks)

        # Another place, the first one gone: only a relocatable program still finds its data.
        moved = os.path.join(tmp, "moved", "snapfolio")
        shutil.copytree(prefix, moved, symlinks=True)
        shutil.rmtree(prefix)
        work = os.path.join(tmp, "work")
        os.mkdir(work)
        runner = namespace_runner([os.path.join(options.source, "data"),
                                   options.configured_data])
        if runner is None:
            print("note: no private mount namespace here; the source tree's data stays "
                  "reachable, and the printed template path alone proves the relocation")
        check_moved(prefix, moved, work, photos_dir, runner, checks)
        check_package(options.cmake, options.build, photos_dir, tmp, checks)

    if checks.failures:
        return 1
    print("installed tree checked; the moved snapfolio-cli found its own template"
          + (" with the source tree's data hidden" if runner else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
