#!/usr/bin/env python3
"""Writes the hand-made seed answers of the fuzz targets into corpus/<target>/.

Each seed is a well-formed answer of the kind a server sends, so that fuzzing starts from inputs that
reach deep into the parsers. Run it again after changing a seed; the files are committed."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def utf16(text, terminated=False):
    return text.encode("utf-16-le") + (b"\0\0" if terminated else b"")


def smb(command, words, data, status=0):
    header = b"\xffSMB" + bytes([command]) + struct.pack("<I", status) + bytes(23)
    body = header + bytes([len(words) // 2]) + words + struct.pack("<H", len(data)) + data
    return b"\0" + len(body).to_bytes(3, "big") + body


def trans(command, params, data):
    param_offset = 56
    data_offset = (param_offset + len(params) + 3) // 4 * 4
    words = struct.pack("<HHHHHHHHHBB", len(params), len(data), 0, len(params), param_offset, 0,
                        len(data), data_offset, 0, 0, 0)
    body = b"\0" + params
    body += bytes(data_offset - 55 - len(body)) + data
    return smb(command, words, body)


def find_entry(name, attributes, size, last):
    fixed = struct.pack("<IIQQQQQQIII", 0, 0, 1, 2, 129000000000000000, 4, size, (size + 4095) // 4096 * 4096,
                        attributes, 2 * len(name), 0)
    entry = fixed + bytes(94 - len(fixed)) + utf16(name)
    if not last:
        entry += bytes(-len(entry) % 8)
        entry = struct.pack("<I", len(entry)) + entry[4:]
    return entry


def find_data(names):
    entries = [find_entry(n, a, s, i + 1 == len(names)) for i, (n, a, s) in enumerate(names)]
    offsets = [sum(len(e) for e in entries[:i]) for i in range(len(entries))]
    return b"".join(entries), offsets[-1]


def dce_string(text):
    raw = b"" if text is None else utf16(text, True)
    count = 0 if text is None else len(text) + 1
    out = struct.pack("<III", count, 0, count) + raw
    return out + bytes(-len(out) % 4)


def share_answer(shares):
    out = bytes.fromhex("05000203100000000000000001000000000000000000") + bytes(2)
    out += struct.pack("<IIIII", 1, 1, 0x20000, len(shares), 0x20004) + struct.pack("<I", len(shares))
    for i, (name, kind, remark) in enumerate(shares):
        out += struct.pack("<III", 0x20008 + 2 * i, kind, 0x20009 + 2 * i)
    for name, kind, remark in shares:
        out += dce_string(name) + dce_string(remark or None)
    return out + struct.pack("<III", len(shares), 0, 0)


def l2_name(name):
    padded = name.upper().ljust(15)[:15].encode() + b"\x20"
    letters = b"".join(bytes([0x41 + (c >> 4), 0x41 + (c & 15)]) for c in padded)
    return b"\x20" + letters + b"\0"


def ns_answer(trans_id, entries):
    data = b"".join(struct.pack(">H4s", flags, bytes(address)) for flags, address in entries)
    return (struct.pack(">HHHHHH", trans_id, 0x8500, 0, 1, 0, 0) + l2_name("server") +
            struct.pack(">HHIH", 0x20, 1, 300000, len(data)) + data)

WSD_NAMESPACES = (
    'xmlns:soap="http://www.w3.org/2003/05/soap-envelope" '
    'xmlns:wsa="http://schemas.xmlsoap.org/ws/2004/08/addressing" '
    'xmlns:wsd="http://schemas.xmlsoap.org/ws/2005/04/discovery" '
    'xmlns:wsx="http://schemas.xmlsoap.org/ws/2004/09/mex" '
    'xmlns:wsdp="http://schemas.xmlsoap.org/ws/2006/02/devprof" '
    'xmlns:pub="http://schemas.microsoft.com/windows/pub/2005/07"')
WSD_ENDPOINT = "urn:uuid:0ae5f5a4-5b2b-5d4b-a5e8-1e6f6c3c4a21"


def soap(action, relates_to, body):
    """A SOAP envelope as wsdd writes it."""
    return ('<?xml version="1.0" encoding="utf-8"?><soap:Envelope ' + WSD_NAMESPACES + '><soap:Header>'
            '<wsa:To>http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</wsa:To>'
            '<wsa:Action>' + action + '</wsa:Action>'
            '<wsa:MessageID>urn:uuid:5a0c7c4e-1f1e-11ef-9f4b-525400000001</wsa:MessageID>'
            '<wsa:RelatesTo>' + relates_to + '</wsa:RelatesTo></soap:Header><soap:Body>' + body +
            '</soap:Body></soap:Envelope>').encode()


def wsd_match(element, xaddrs):
    return ('<wsd:' + element + '><wsa:EndpointReference><wsa:Address>' + WSD_ENDPOINT +
            '</wsa:Address></wsa:EndpointReference><wsd:Types>wsdp:Device pub:Computer</wsd:Types>' +
            ('<wsd:XAddrs>' + xaddrs + '</wsd:XAddrs>' if xaddrs else '') +
            '<wsd:MetadataVersion>1</wsd:MetadataVersion></wsd:' + element + '>')


def wsd_metadata(computer):
    body = ('<wsx:Metadata><wsx:MetadataSection Dialect="http://schemas.xmlsoap.org/ws/2006/02/devprof/ThisDevice">'
            '<wsdp:ThisDevice><wsdp:FriendlyName>WSD Device CORVNAS</wsdp:FriendlyName></wsdp:ThisDevice>'
            '</wsx:MetadataSection><wsx:MetadataSection '
            'Dialect="http://schemas.xmlsoap.org/ws/2006/02/devprof/Relationship"><wsdp:Relationship '
            'Type="http://schemas.xmlsoap.org/ws/2006/02/devprof/host"><wsdp:Host><wsa:EndpointReference>'
            '<wsa:Address>' + WSD_ENDPOINT + '</wsa:Address></wsa:EndpointReference>'
            '<wsdp:Types>pub:Computer</wsdp:Types><wsdp:ServiceId>' + WSD_ENDPOINT + '</wsdp:ServiceId>'
            '<pub:Computer>' + computer + '</pub:Computer></wsdp:Host></wsdp:Relationship>'
            '</wsx:MetadataSection></wsx:Metadata>')
    return soap("http://schemas.xmlsoap.org/ws/2004/09/transfer/GetResponse", "urn:uuid:1", body)


def write(target, name, content):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(content)


def main():
    negotiate_words = struct.pack("<HBHHIIIIQhB", 0, 3, 50, 1, 16644, 65536, 0xA1B2C3D4, 0x8000E3FD, 0, -120, 8)
    write("smb_response", "negotiate", smb(0x72, negotiate_words, bytes(range(8)) + utf16("WORKGROUP", True)))
    read_words = struct.pack("<BBHHHHHHH", 0xFF, 0, 0, 0, 0, 0, 10, 60, 0) + bytes(8)
    write("smb_response", "read", smb(0x2E, read_words, b"\0" + bytes(range(10))))
    write("smb_response", "write", smb(0x2F, struct.pack("<BBHHHHH", 0xFF, 0, 0, 4096, 0, 0, 0), b""))
    create_words = bytearray(68)
    create_words[0] = 0xFF
    create_words[5:7] = struct.pack("<H", 0x4001)
    create_words[55:63] = struct.pack("<Q", 1000)
    write("smb_response", "nt_create", smb(0xA2, bytes(create_words), b""))
    write("smb_response", "trans2", trans(0x32, bytes(10), bytes(range(40))))
    write("smb_response", "error", smb(0x32, b"", b"", status=0xC0000022))

    data, last = find_data([("a.txt", 0x21, 1000), ("folder", 0x10, 0), ("..", 0x10, 0), ("b.bin", 0x20, 5)])
    write("trans2_find", "first", b"\0" + trans(0x32, struct.pack("<HHHHH", 0x42, 4, 0, 0, last), data))
    data, last = find_data([("next.doc", 0x20, 70000)])
    write("trans2_find", "next", b"\1" + trans(0x32, struct.pack("<HHHH", 1, 1, 0, 0), data))

    name = utf16("\\dir\\file.txt")
    all_info = struct.pack("<QQQQIIQQIBBHII", 1, 2, 3, 4, 0x20, 0, 4096, 1000, 1, 0, 0, 0, 0, len(name)) + name
    write("trans2_info", "all_info", b"\0" + all_info)
    write("trans2_info", "fs_size", b"\1" + struct.pack("<QQII", 1000000, 250000, 8, 512))

    # The session's stream: three prefix bytes (piece size, logon steps awaited, requests on their way
    # under multiplex ids 1 to 8, whose commands follow from the second byte), then messages.
    def with_mid(message, mid):
        return message[:34] + struct.pack("<H", mid) + message[36:]
    write("smb_session", "logon", bytes([0, 1, 0]) + smb(0x72, negotiate_words, bytes(range(8)) +
                                                         utf16("WORKGROUP", True)))
    # With the second byte 0, ids 2 and 3 are a read and a write, 6 a TRANSACTION2, 7 an echo.
    stream = (with_mid(smb(0x2E, read_words, b"\0" + bytes(range(10))), 2) + b"\x85\0\0\0" +
              with_mid(smb(0x2F, struct.pack("<BBHHHHH", 0xFF, 0, 0, 4096, 0, 0, 0), b""), 3) +
              with_mid(trans(0x32, bytes(10), bytes(range(40))), 6) +
              with_mid(smb(0x24, bytes([0xFF, 0, 0, 0, 1, 0x40, 2, 0]) + bytes(8), b""), 0xFFFF) +
              with_mid(smb(0x2B, struct.pack("<H", 1), b"\0"), 7))
    write("smb_session", "answers_in_pieces", bytes([7, 0, 0xFF]) + stream)
    write("smb_session", "answer_to_nothing", bytes([0, 0, 0x02]) + with_mid(smb(0x04, b"", b""), 5))

    write("share_enum", "three_shares",
          share_answer([("public", 0, ""), ("IPC$", 3, "IPC Service (Samba)"), ("docs", 0, "Team")]))

    write("nbns_response", "unique", ns_answer(0x1234, [(0, (192, 168, 1, 5))]))
    write("nbns_response", "group_and_unique",
          ns_answer(0x2345, [(0x8000, (192, 168, 1, 255)), (0, (192, 168, 1, 7)), (0, (10, 0, 0, 7))]))

    probe_id = "urn:uuid:11111111-2222-3333-4444-555555555555"
    write("wsd_message", "probe_match_wsdd",
          soap("http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches", probe_id,
               "<wsd:ProbeMatches>" + wsd_match("ProbeMatch", "") + "</wsd:ProbeMatches>"))
    write("wsd_message", "resolve_match",
          soap("http://schemas.xmlsoap.org/ws/2005/04/discovery/ResolveMatches", probe_id,
               "<wsd:ResolveMatches>" + wsd_match("ResolveMatch", "http://10.0.0.1:5357/0ae5f5a4") +
               "</wsd:ResolveMatches>"))
    metadata = wsd_metadata("CORVNAS/Workgroup:CORVGROUP")
    write("wsd_metadata", "until_close", b"HTTP/1.0 200 OK\r\nContent-Type: application/soap+xml\r\n\r\n" + metadata)
    write("wsd_metadata", "length",
          b"HTTP/1.1 200 OK\r\nContent-Length: " + str(len(metadata)).encode() + b"\r\n\r\n" + metadata)
    half = len(metadata) // 2
    write("wsd_metadata", "chunked",
          b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + b"%x\r\n" % half + metadata[:half] +
          b"\r\n" + b"%x\r\n" % (len(metadata) - half) + metadata[half:] + b"\r\n0\r\n\r\n")
    write("wsd_metadata", "domain", wsd_metadata("corvhost/Domain:corp.example"))

    write("password_record", "record",
          b"pbkdf2-sha256$600000$" + bytes(range(16)).hex().encode() + b"$" + bytes(range(32)).hex().encode())

    write("trash_info", "desktop",
          b"[Trash Info]\nPath=/home/user/Music/caf%C3%A9%201.mp3\nDeletionDate=2026-12-11T09:30:00\n")
    write("trash_info", "relative", b"# comment\r\n[Other]\nPath=x\n[Trash Info]\r\nPath=Videos/a%2Fb\r\n")


if __name__ == "__main__":
    main()
