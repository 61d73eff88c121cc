"""Writes the package's zip the same way every time (run by scripts/release).

    write_zip.py ZIP STAGE FOLDER EPOCH

Packs STAGE/FOLDER as FOLDER/ and the files in it, in the order of their
names, each with the time EPOCH (the commit's time, SOURCE_DATE_EPOCH, as
UTC: a zip's times carry no zone), read-write permissions for the owner and
read for others (folders also executable), and no extra fields; deflated at
level 9. The same files and EPOCH give the same bytes whatever the files'
own times, owners and modes and the machine's umask and time zone.
"""
import os
import sys
import time
import zipfile

FILE_MODE = 0o100644
FOLDER_MODE = 0o040755
MSDOS_DIRECTORY = 0x10


def entry(name, epoch, mode):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(epoch, 315532800))[:6])
    info.create_system = 3  # Unix, so that the modes below are read
    info.external_attr = mode << 16 | (MSDOS_DIRECTORY if name.endswith("/") else 0)
    info.compress_type = zipfile.ZIP_DEFLATED if not name.endswith("/") else zipfile.ZIP_STORED
    return info


def write_zip(zip_path, stage, folder, epoch):
    names = sorted(os.listdir(os.path.join(stage, folder)))
    with zipfile.ZipFile(zip_path, "w") as z:
        z.writestr(entry(folder + "/", epoch, FOLDER_MODE), b"")
        for name in names:
            with open(os.path.join(stage, folder, name), "rb") as f:
                z.writestr(entry(f"{folder}/{name}", epoch, FILE_MODE), f.read(), compresslevel=9)


if __name__ == "__main__":
    zip_path, stage, folder, epoch = sys.argv[1:5]
    write_zip(zip_path, stage, folder, int(epoch))
