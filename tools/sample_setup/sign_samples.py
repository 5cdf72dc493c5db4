#!/usr/bin/env python3
"""Signs the sample setup program for the signed Run Setup path and makes
the hostile variants of it, all in the build tree.

The signing certificates are made here, once per build tree, with openssl:
a throwaway publisher (the one the signed TSCheck.exe pins) and somebody
else. Their private keys never leave the build tree. Writes into OUT:

  tavrinsecure_signed.exe    the sample, padded, signed by the publisher
  tavrinsecure_unsigned.exe  the same padded sample without a signature
  tavrinsecure_other.exe     the same signed by the other certificate
  tavrinsecure_renewed.exe   the same signed by a renewed publisher certificate:
                             a new certificate for the publisher's same key
  tavrinsecure_changed.exe   the signed one with one byte of a section changed
  tavrinsecure_cut.exe       the signed one cut after its last section
  signing/publisher.txt      the publisher's name and certificate thumbprint
  pins/setup_pin_values.h    the pins of the signed TSCheck.exe
"""
import argparse
import hashlib
import os
import shutil
import struct
import subprocess
import sys

PUBLISHER = "Tavrin Sample Publisher"
OTHER = "Somebody Else Software"


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def certificate(openssl, folder, stem, name):
    """The key and self-signed code-signing certificate `stem`, made once."""
    key, crt = (os.path.join(folder, stem + ext) for ext in (".key", ".crt"))
    if not (os.path.exists(key) and os.path.exists(crt)):
        run(openssl, "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "3650",
            "-subj", "/CN=" + name, "-addext", "extendedKeyUsage=codeSigning",
            "-addext", "keyUsage=digitalSignature",
            "-keyout", key, "-out", crt)
        os.chmod(key, 0o600)
    return key, crt


def renewal(openssl, folder, key, name):
    """A second certificate for the same key, as a renewal makes it."""
    crt = os.path.join(folder, "renewed.crt")
    if not os.path.exists(crt):
        run(openssl, "req", "-x509", "-new", "-key", key, "-sha256", "-days", "3650",
            "-subj", "/CN=" + name, "-addext", "extendedKeyUsage=codeSigning",
            "-addext", "keyUsage=digitalSignature", "-set_serial", "2", "-out", crt)
    return key, crt


def key_digest(openssl, crt):
    """SHA-256 of the certificate's SubjectPublicKeyInfo (DER), as
    `openssl x509 -pubkey -noout | openssl pkey -pubin -outform DER | sha256sum` prints it."""
    pem = subprocess.run([openssl, "x509", "-in", crt, "-pubkey", "-noout"], check=True,
                         stdout=subprocess.PIPE).stdout
    der = subprocess.run([openssl, "pkey", "-pubin", "-outform", "DER"], input=pem, check=True,
                         stdout=subprocess.PIPE).stdout
    return hashlib.sha256(der).hexdigest()


def thumbprint(openssl, crt):
    der = subprocess.run([openssl, "x509", "-in", crt, "-outform", "DER"], check=True,
                         stdout=subprocess.PIPE).stdout
    return hashlib.sha256(der).hexdigest()


def sign(osslsigncode, key, crt, source, target):
    if os.path.exists(target):
        os.remove(target)
    run(osslsigncode, "sign", "-certs", crt, "-key", key, "-n", "Tavrin Secure", "-h", "sha256",
        "-in", source, "-out", target)


def sections(data):
    """(raw offset, raw size) of every section."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, = struct.unpack_from("<H", data, pe + 6)
    optional, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional
    return [struct.unpack_from("<II", data, table + 40 * i + 20)[::-1] for i in range(count)]


def write_if_changed(path, text):
    if os.path.exists(path):
        with open(path) as f:
            if f.read() == text:
                return
    with open(path, "w") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sample", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--strip", required=True)
    parser.add_argument("--openssl", default="openssl")
    parser.add_argument("--osslsigncode", default="osslsigncode")
    parser.add_argument("--pad-to", type=int, default=2 * 1024 * 1024)
    args = parser.parse_args()

    signing = os.path.join(args.out, "signing")
    pins = os.path.join(args.out, "pins")
    os.makedirs(signing, exist_ok=True)
    os.makedirs(pins, exist_ok=True)
    publisher = certificate(args.openssl, signing, "publisher", PUBLISHER)
    other = certificate(args.openssl, signing, "other", OTHER)
    renewed = renewal(args.openssl, signing, publisher[0], PUBLISHER)

    # Like a real setup: a stripped program with data appended after its
    # last section, signed as a whole.
    unsigned = os.path.join(args.out, "tavrinsecure_unsigned.exe")
    shutil.copyfile(args.sample, unsigned)
    run(args.strip, "--strip-all", unsigned)
    with open(unsigned, "ab") as f:
        f.truncate(max(args.pad_to, f.tell()))

    signed = os.path.join(args.out, "tavrinsecure_signed.exe")
    sign(args.osslsigncode, *publisher, unsigned, signed)
    sign(args.osslsigncode, *other, unsigned, os.path.join(args.out, "tavrinsecure_other.exe"))
    sign(args.osslsigncode, *renewed, unsigned, os.path.join(args.out, "tavrinsecure_renewed.exe"))
    with open(signed, "rb") as f:
        data = bytearray(f.read())
    raw = [s for s in sections(data) if s[1] > 0]
    offset, size = raw[0]
    changed = bytearray(data)
    changed[offset + size // 2] ^= 0x01
    with open(os.path.join(args.out, "tavrinsecure_changed.exe"), "wb") as f:
        f.write(changed)
    end = max(o + s for o, s in raw)
    with open(os.path.join(args.out, "tavrinsecure_cut.exe"), "wb") as f:
        f.write(data[:end])

    publisher_thumbprint = thumbprint(args.openssl, publisher[1])
    publisher_key = key_digest(args.openssl, publisher[1])
    write_if_changed(os.path.join(signing, "publisher.txt"),
                     f"{PUBLISHER}\n{publisher_thumbprint}\n{publisher_key}\n")
    # The signed build pins the publisher's certificate and its key, as a
    # provider would before a renewal.
    write_if_changed(os.path.join(pins, "setup_pin_values.h"),
                     "// Made by tools/sample_setup/sign_samples.py for the signed build.\n"
                     '#define TSCHECK_SETUP_SHA256 ""\n'
                     f'#define TSCHECK_SETUP_SIGNER "{publisher_thumbprint}"\n'
                     f'#define TSCHECK_SETUP_SIGNER_KEY "{publisher_key}"\n')
    return 0


if __name__ == "__main__":
    sys.exit(main())
