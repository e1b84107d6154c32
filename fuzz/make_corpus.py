"""Writes the seed corpora of the fuzz targets into corpus/<target>/ (run
once by hand with Debian's python3 from this folder; the results are
committed). Each seed is small: a realistic input, or one shaped to reach a
corner (a separator at the end, a broken archive, a hostile package part).

Usage: /usr/bin/python3 make_corpus.py
"""
import io
import os
import shutil
import struct
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")
WORKBOOK_DATA = os.path.join(HERE, "..", "tests", "workbook", "data")


def put(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def fresh(target):
    shutil.rmtree(os.path.join(CORPUS, target), ignore_errors=True)


# ---------------------------------------------------------------- start-up line
def startup():
    t = "fuzz_startupcommand"
    fresh(t)
    fields = ["U001", "张三", "D01", "财务部", "P01", "出纳", "C1", "管理处", "PC1", "岗位类"]
    conn = "Provider=SQLOLEDB.1;Password=pw;Persist Security Info=False;User ID=sa;Initial Catalog='wy';Data Source='db1'"
    put(t, "full", "{}".join(fields) + "【】" + conn + "【】" + "x")
    put(t, "empty-third", "{}".join(fields) + "【】" + conn + "【】")
    put(t, "nine-fields", "{}".join(fields[:9]) + "【】" + conn + "【】x")
    put(t, "two-parts", "{}".join(fields) + "【】" + conn)
    put(t, "empty-fields", "{}" * 9 + "【】【】")
    put(t, "extra-fields", "{}".join(fields + ["more", "{"]) + "【】" + conn + "【】a【】b")
    put(t, "blanks", " " + " {} ".join(fields) + " 【】 " + conn + " 【】 ")
    put(t, "sqlite", "{}".join(fields) + "【】Provider=SQLite;Data Source=/tmp/demo.db【】0")
    put(t, "braces", "{{}}{}}{{{}" + "{}" * 8 + "【【】】【】")
    put(t, "separators-only", "【】【】【】")
    put(t, "built", "\x01".join(fields + [conn, "rest"]))
    put(t, "built-blanks", "\x01".join(["a b", " ", "", "c"] + [""] * 6 + ["Data Source=x", ""]))
    put(t, "built-brackets", "\x01".join(["【", "】", "{", "}"] + ["x"] * 6 + ["y", "z"]))
    put(t, "half-separators", "{}".join(fields) + "【" + conn + "】【】x")
    put(t, "no-separators", "just some words")


# ------------------------------------------------------------ connection string
def connection():
    t = "fuzz_connectionstring"
    fresh(t)
    seeds = {
        "settings": "Provider=SQLOLEDB.1;Password=pw;Persist Security Info=False;User ID=sa;Initial Catalog='wy';Data Source='db1'",
        "port": "Provider=SQLOLEDB.1;Password=pw;User ID=sa;Initial Catalog='wy';Data Source='db1,1444'",
        "instance": "Provider=SQLOLEDB.1;Password=pw;User ID=sa;Initial Catalog='wy';Data Source='db1\\SQLEXPRESS'",
        "tcp": "Provider=SQLNCLI11;Data Source=tcp:10.0.0.5,1433;Database=wy;UID=sa;PWD=x",
        "local": "provider=sqloledb;PASSWORD=\"p\"\"w\";user id=sa;INITIAL CATALOG=wy;data source=\"(local)\"",
        "dot": "Data Source=.;User ID=sa;Password=",
        "braces-in-values": "Provider=SQLOLEDB.1;Password='a;UID=x}';User ID=sa;Initial Catalog='w{y';Data Source='db1'",
        "brace-semicolon": "Provider=SQLOLEDB.1;Password='a};UID=x';User ID=sa;Data Source='db1'",
        "blanks": "Provider=SQLOLEDB.1;Password=' pw ';User ID=' sa';Initial Catalog='wy ';Data Source=' db1 '",
        "equals": "Provider=MSOLEDBSQL;Password='a=b';User ID='c=d';Data Source='h=1'",
        "no-catalog": "Provider=SQLOLEDB.1;Password=x;User ID=sa;Initial Catalog='';Data Source='db1'",
        "odbc-given": "Driver={FreeTDS};Server=h;Port=1;PWD={a;b}",
        "dsn": "DSN=fee;UID=sa;PWD=x",
        "sqlite": "Provider=SQLite;Data Source=/tmp/a b.db",
        "sqlite-quoted": "Provider=sqlite;Data Source='/tmp/x;y''s.db';",
        "bad-provider": "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb",
        "bad-port": "Data Source='db1,99999';User ID=sa",
        "unclosed-quote": "Data Source='db1;User ID=sa",
        "piece-without-equals": "Data Source=db1;junk;User ID=sa",
        "empty-key": "=x;Data Source=db1",
        "empty": "",
        "semicolons": ";;; ;",
        "nul-in-value": "Data Source=db1;User ID=s\x00a;Password=p",
        "settings-pieces": "db1\x01sa\x01pw\x01wy",
        "settings-pieces-hostile": "db1';UID=evil\x01sa'\x01p}w;\x01w'y",
        "settings-pieces-braces": "{db1}\x01{sa}\x01}\x01{",
        "unicode": "Data Source=数据库;User ID=用户;Password=密码;Initial Catalog=物业",
        "encrypt-checked": "Provider=SQLOLEDB.1;Password=pw;User ID=sa;Data Source='db1,1433';Encrypt=yes;ServerCertificate='/etc/ca;1.pem';HostNameInCertificate=db1.example",
        "encrypt-off": "Provider=SQLOLEDB.1;Password=pw;User ID=sa;Data Source=db1;use encryption for data=False;Command Timeout=5",
        "trust": "Data Source=db1\\inst;Trust Server Certificate=True;TrustServerCertificate=no",
    }
    for name, text in seeds.items():
        put(t, name, text)


# ------------------------------------------------------------ statement adapter
def statements():
    t = "fuzz_statementadapter"
    fresh(t)
    seeds = {
        "left": "Left(zj_cny,4) = left(ZJ_CNY,4) Or LEFT( x , 2 )",
        "left-join": "From a Left Join b On a.x=b.x LEFT JOIN (Select 1) c",
        "right-len": "Right(dh,2) + len(gyd_dh)",
        "order-by": "Select a From t order by DZ desc, 2, a.b ASC nulls first",
        "group-by-subquery": "(Select sum(x) as s, 管理处 From t Group by 管理处 Union All Select 1, 车库名.管理处 From u Group by 车库名.管理处) Z Group by 管理处 having count(*) > 1",
        "convert": "convert(char(8),ZJ_SKRQ,112) <= '20240105' and Convert( Char (6) , zj_bdrq , 112 ) and convert(varchar(3), d, 112)",
        "convert-other": "convert(varchar(10), d, 120) + convert(nchar(2), x, 112)",
        "nested": "convert(char(8), isnull(a.d, coalesce(b.d, c.d)), 112) + left(right(len(x),1),2)",
        "n-literal": "业主表.姓名 = N'开发商' And IN'x' and n'it''s'",
        "plus": "a.x + b.y + '室' + (c) + 1, 2+y, Select +x, (+y) Where a = +1",
        "case-plus": "Case When x Is Not Null Then x Else '' End +  Case When y Is Null Then '' Else y End",
        "getdate": "getdate() + getdate( ) + getdate(1)",
        "literals": "'Left(a,1) + len(b) N''x'' convert(char(8),d,112)' [地址1] + [left(a,1)] + \"len(x)\"",
        "comments": "select a -- left(x,1) + \n /* order by x */ from t /* unclosed",
        "unclosed": "Left(a,1 + 'open [open \"open",
        "numbers": "select 1.5e+3, 2e, 3.4.5, 1e-2 + x",
        "receipts": "min(wyzj.zj_cny)+'-'+max(wyzj.zj_cny) as 摘要, 票据.入库单编号 + 票据.票据编号 Not In (Select 入库单编号 + 票据编号 From 票据)",
        "deep": "left(" * 12 + "x" + ",1)" * 12,
        "deep-unrewritten": "convert(" * 10 + "x" + ")" * 10,
        "plain": "Select a.b, c From t Where d = 'e' And f In (1,2,3)",
        "semicolons": "select 1; select 2 order by 1; group by",
        "variables": "@x + #t + $y + _z",
    }
    for name, text in seeds.items():
        put(t, name, text)


# ------------------------------------------------------------------ period lists
def periods():
    t = "fuzz_periodlist"
    fresh(t)
    seeds = [
        "202301,202302,202303",
        "202401,202402,202403,202405,",
        "202312,202401,202402",
        "202301,202301,202302",
        "202301",
        "202301,,202302",
        " 202301 , 202302 ",
        "押金,202301,202302,水费",
        "202313,202300,000001,999912",
        "20230101,20230102",
        "1,2,3",
        ",,,",
        "a,b,a",
        "202301-202303,202304",
        "９９９９１２,202301",
        "999999999999,1000000000000",
        "202302,202301,202303,202304",
    ]
    for i, text in enumerate(seeds):
        put(t, "seed%02d" % i, bytes([i * 7 % 256]) + text.encode("utf-8"))


# ------------------------------------------------------------------ text formats
def textformats():
    t = "fuzz_textformat"
    fresh(t)

    def num(mode, value, rest):
        return bytes([mode]) + struct.pack(">d", value) + rest.encode("utf-8")

    put(t, "leading-percent", num(0, 12.5, "12.50%"))
    put(t, "leading-negative", num(0, -3.1, "-3.1abc"))
    put(t, "leading-exponent", num(0, 1e300, " 1.5e+10x"))
    put(t, "leading-empty", num(0, 0.0, ""))
    put(t, "leading-dot", num(0, 0.1, "-.5."))
    put(t, "leading-blanks", num(0, 123456789.125, "\t\r\n 7"))
    put(t, "leading-huge", num(0, 5e-324, "9" * 400))
    put(t, "number-money", num(1, 2.675, "0.00"))
    put(t, "number-hash", num(1, -0.004, "#0.00"))
    put(t, "number-integer", num(1, 1234.5, "0"))
    put(t, "number-big", num(1, 1.7976931348623157e308, "0.00"))
    put(t, "number-tiny", num(1, 4.9e-324, "0.0000000000"))
    put(t, "number-negative-half", num(1, -0.5, "0"))
    put(t, "number-many-decimals", num(1, 0.1, "0." + "0" * 40))
    put(t, "number-odd-format", num(1, 99.995, "##.#0#x.00"))
    put(t, "number-nan", b"\x01\x7f\xf8\x00\x00\x00\x00\x00\x00" + b"0.00")

    def date(far, day, pattern):
        return bytes([2, far]) + struct.pack(">I", day) + pattern.encode("utf-8")

    put(t, "date-iso", date(1, 60310, "yyyy-mm-dd"))
    put(t, "date-upper", date(1, 60310, "YYYY-MM-DD"))
    put(t, "date-compact", date(1, 60311, "yyyymmdd"))
    put(t, "date-month", date(1, 60312, "yyyymm"))
    put(t, "date-chinese", date(1, 60313, "yyyy年mm月dd日"))
    put(t, "date-mixed", date(1, 60314, "Yy-mM-dD ymd"))
    put(t, "date-accents", date(1, 60315, "Ä yyyy Ö mm Ü"))
    put(t, "date-far", date(0, 12345678, "yyyy"))
    put(t, "date-no-letters", date(1, 60316, "--//.."))


# ----------------------------------------------------------------- grid formats
def gridformats():
    t = "fuzz_gridformat"
    fresh(t)
    seeds = [
        (0x0A, 0x00, "<序号|^日期|>金额"),
        (0x1F, 0x31, "<管理处|<收费项目|>应收|>实收|>收费率"),
        (0x00, 0x10, ""),
        (0x7F, 0x24, "|||"),
        (0x03, 0x04, "<|^|>"),
        (0x44, 0x32, "^两行\n标题|>x\r\ny"),
        (0x08, 0x13, "<a|<a|<a|b|b"),
        (0x2A, 0x21, "no marks at all"),
        (0x5D, 0x3B, "><^|<<|^^"),
        (0x3C, 0x2C, "<𠀀宽字|>ｆｕｌｌ"),
    ]
    for i, (shape, merge, fmt) in enumerate(seeds):
        put(t, "seed%02d" % i, bytes([shape, merge]) + fmt.encode("utf-8"))


# -------------------------------------------------------------------- workbooks
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
OFFICE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
CT_SHEET = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"
CT_MAIN = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"
CT_STYLES = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"


def content_types(overrides, defaults=True):
    out = HEAD + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    if defaults:
        out += ('<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                '<Default Extension="xml" ContentType="application/xml"/>')
    for part, ct in overrides:
        out += '<Override PartName="/%s" ContentType="%s"/>' % (part, ct)
    return out + "</Types>"


def rels(items, prefix=""):
    out = HEAD + '<%sRelationships xmlns%s="%s">' % (prefix, (":" + prefix[:-1]) if prefix else "", RELS)
    for rid, kind, target in items:
        out += '<%sRelationship Id="%s" Type="%s/%s" Target="%s"/>' % (prefix, rid, OFFICE, kind, target)
    return out + "</%sRelationships>" % prefix


ROOT_RELS = rels([("rId1", "officeDocument", "xl/workbook.xml")])
SHEET = HEAD + '<worksheet xmlns="%s"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>旧</t></is></c></row></sheetData></worksheet>' % MAIN
STYLES = (HEAD + '<styleSheet xmlns="%s"><fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
          '<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>'
          '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
          '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
          '<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>'
          '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>') % MAIN


def workbook(sheets, extra="", prefix="", views="<bookViews><workbookView/></bookViews>"):
    p = prefix
    out = HEAD + '<%sworkbook xmlns%s="%s" xmlns:r="%s">%s<%ssheets>' % (
        p, (":" + p[:-1]) if p else "", MAIN, OFFICE, views.replace("<", "<" + p).replace("<" + p + "/", "</" + p), p)
    for i, (name, rid, state) in enumerate(sheets):
        out += '<%ssheet name="%s" sheetId="%d"%s r:id="%s"/>' % (p, name, i + 1, (' state="%s"' % state) if state else "", rid)
    return out + "</%ssheets>%s</%sworkbook>" % (p, extra, p)


def package(parts):
    """The described-package form: "#! name" lines, each followed by the part."""
    out = b""
    for name, data in parts:
        if isinstance(data, str):
            data = data.encode("utf-8")
        out += b"#! " + name.encode("utf-8") + b"\n" + data + b"\n"
    return out


def basic_parts(sheet_names=("收款日报表", "封面"), extra="", styles=True, calc=False, views=None, prefix=""):
    sheets = [(n, "rId%d" % (i + 1), None) for i, n in enumerate(sheet_names)]
    wb_rels = [("rId%d" % (i + 1), "worksheet", "worksheets/sheet%d.xml" % (i + 1)) for i in range(len(sheet_names))]
    overrides = [("xl/workbook.xml", CT_MAIN)] + [("xl/worksheets/sheet%d.xml" % (i + 1), CT_SHEET) for i in range(len(sheet_names))]
    if styles:
        wb_rels.append(("rId%d" % (len(sheet_names) + 1), "styles", "styles.xml"))
        overrides.append(("xl/styles.xml", CT_STYLES))
    if calc:
        wb_rels.append(("rId%d" % (len(sheet_names) + 2), "calcChain", "calcChain.xml"))
        overrides.append(("xl/calcChain.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"))
    kw = {"prefix": prefix}
    if views is not None:
        kw["views"] = views
    parts = [
        ("[Content_Types].xml", content_types(overrides)),
        ("_rels/.rels", ROOT_RELS),
        ("xl/workbook.xml", workbook(sheets, extra, **kw)),
        ("xl/_rels/workbook.xml.rels", rels(wb_rels)),
    ]
    for i in range(len(sheet_names)):
        parts.append(("xl/worksheets/sheet%d.xml" % (i + 1), SHEET))
    if styles:
        parts.append(("xl/styles.xml", STYLES))
    if calc:
        parts.append(("xl/calcChain.xml", HEAD + '<calcChain xmlns="%s"><c r="A1" i="1"/><c r="B2"/><c r="C3" i="2"/></calcChain>' % MAIN))
    return parts


def zipped(parts, method=zipfile.ZIP_DEFLATED):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", method) as z:
        for name, data in parts:
            z.writestr(name, data)
    return buf.getvalue()


def replace_part(parts, name, data):
    return [(n, data if n == name else d) for n, d in parts]


def workbooks():
    t = "fuzz_workbookpatch"
    fresh(t)
    # Real workbooks as the user has them.
    for name in ("existing.xlsx", "existing-lo.xlsx"):
        with open(os.path.join(WORKBOOK_DATA, name), "rb") as f:
            put(t, "raw-" + name, f.read())
    base = basic_parts()
    put(t, "raw-basic.xlsx", zipped(base))
    put(t, "raw-stored.xlsx", zipped(base, zipfile.ZIP_STORED))

    # Described packages (zipped by the target): their XML is what mutates.
    put(t, "pkg-basic", package(base))
    put(t, "pkg-append", package(basic_parts(("封面", "图表"))))
    put(t, "pkg-other-case", package(basic_parts(("Sheet1",))))
    put(t, "pkg-no-styles", package(basic_parts(styles=False)))
    put(t, "pkg-calcchain", package(basic_parts(calc=True)))
    put(t, "pkg-prefixed", package(basic_parts(prefix="x:")))
    put(t, "pkg-hidden-window", package(basic_parts(views='<bookViews><workbookView visibility="hidden"/></bookViews>')))
    names = ('<definedNames><definedName name="_xlnm.Print_Area" localSheetId="0">\'收款日报表\'!$A$1:$B$2</definedName>'
             '<definedName name="_xlnm.Print_Titles" localSheetId="1">封面!$1:$1</definedName>'
             '<definedName name="Mine">封面!$A$1</definedName></definedNames>')
    put(t, "pkg-defined-names", package(basic_parts(extra=names)))
    put(t, "pkg-empty-defined-names", package(basic_parts(extra="<definedNames/>")))
    put(t, "pkg-external-refs", package(basic_parts(extra="<externalReferences><externalReference r:id=\"rId9\"/></externalReferences>")))
    hidden = [(n, d.replace('sheetId="1"', 'sheetId="1" state="hidden"') if n == "xl/workbook.xml" else d) for n, d in base]
    put(t, "pkg-hidden-sheet", package(hidden))
    # A chart sheet holds the name.
    chart = replace_part(base, "xl/_rels/workbook.xml.rels",
                         rels([("rId1", "chartsheet", "chartsheets/sheet1.xml"), ("rId2", "worksheet", "worksheets/sheet2.xml"),
                               ("rId3", "styles", "styles.xml")]))
    put(t, "pkg-chart-sheet", package(chart))
    # Hostile relationships: out of the package, absolute, onto the workbook's own parts.
    for label, target in (("dotdot", "../../evil.xml"), ("absolute", "/xl/worksheets/sheet1.xml"),
                          ("onto-workbook", "workbook.xml"), ("onto-types", "/[Content_Types].xml"),
                          ("onto-styles", "styles.xml"), ("empty-target", ""), ("folder", "worksheets/")):
        p = replace_part(base, "xl/_rels/workbook.xml.rels",
                         rels([("rId1", "worksheet", target), ("rId2", "worksheet", "worksheets/sheet2.xml"),
                               ("rId3", "styles", "styles.xml")]))
        put(t, "pkg-target-" + label, package(p))
    p = replace_part(base, "_rels/.rels", rels([("rId1", "officeDocument", "../wb/workbook.xml")]))
    put(t, "pkg-workbook-outside", package(p + [("../wb/workbook.xml", workbook([("收款日报表", "rId1", None)]))]))
    p = replace_part(base, "xl/_rels/workbook.xml.rels",
                     rels([("rId1", "worksheet", "worksheets/sheet1.xml"), ("rId1", "worksheet", "worksheets/sheet2.xml"),
                           ("rId3", "styles", "styles.xml")]))
    put(t, "pkg-duplicate-ids", package(p))
    put(t, "pkg-duplicate-sheet-names", package(basic_parts(("收款日报表", "收款日报表"))))
    # Broken or hostile XML.
    put(t, "pkg-broken-workbook", package(replace_part(base, "xl/workbook.xml", "<workbook><sheets><sheet name=")))
    put(t, "pkg-utf16", package(replace_part(base, "xl/workbook.xml", b"\xff\xfe<\x00w\x00")))
    put(t, "pkg-not-utf8", package(replace_part(base, "xl/workbook.xml", b"<workbook>\xc3\x28</workbook>")))
    lol = ('<?xml version="1.0"?><!DOCTYPE workbook [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">'
           '<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">'
           '<!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">]>'
           '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="&e;" sheetId="1" r:id="rId1"/></sheets></workbook>') % (MAIN, OFFICE)
    put(t, "pkg-entity-expansion", package(replace_part(base, "xl/workbook.xml", lol)))
    markup = ('<?xml version="1.0"?><!DOCTYPE workbook [<!ENTITY s \'<sheet name="收款日报表" sheetId="1" r:id="rId1"/>\'>]>'
              '<workbook xmlns="%s" xmlns:r="%s"><sheets>&s;</sheets></workbook>') % (MAIN, OFFICE)
    put(t, "pkg-entity-markup", package(replace_part(base, "xl/workbook.xml", markup)))
    ext = ('<?xml version="1.0"?><!DOCTYPE workbook [<!ENTITY x SYSTEM "file:///etc/passwd">]>'
           '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="&x;" sheetId="1" r:id="rId1"/></sheets></workbook>') % (MAIN, OFFICE)
    put(t, "pkg-external-entity", package(replace_part(base, "xl/workbook.xml", ext)))
    put(t, "pkg-strict", package(replace_part(base, "xl/workbook.xml",
                                              workbook([("收款日报表", "rId1", None)]).replace(MAIN, "http://purl.oclc.org/ooxml/spreadsheetml/main"))))
    put(t, "pkg-no-sheets", package(replace_part(base, "xl/workbook.xml", HEAD + '<workbook xmlns="%s"/>' % MAIN)))
    put(t, "pkg-missing-rels", package([p for p in base if p[0] != "xl/_rels/workbook.xml.rels"]))
    put(t, "pkg-missing-types", package([p for p in base if p[0] != "[Content_Types].xml"]))
    put(t, "pkg-binary-workbook", package(replace_part(base, "_rels/.rels", rels([("rId1", "officeDocument", "xl/workbook.bin")]))))
    put(t, "pkg-cdata-comments", package(replace_part(base, "xl/workbook.xml",
                                                      workbook([("收款日报表", "rId1", None)], "<!-- <sheets> --><![CDATA[</workbook>]]>"))))
    put(t, "pkg-bom", package(replace_part(base, "xl/workbook.xml", b"\xef\xbb\xbf" + workbook([("收款日报表", "rId1", None)]).encode())))

    # Damaged archives.
    good = zipped(base)
    put(t, "raw-truncated.xlsx", good[: len(good) // 2])
    put(t, "raw-no-central-directory.xlsx", good[: good.rfind(b"PK\x01\x02")])
    dup = io.BytesIO()
    with zipfile.ZipFile(dup, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in base:
            z.writestr(name, data)
        import warnings
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            z.writestr("xl/workbook.xml", workbook([("其他", "rId1", None)]))
    put(t, "raw-duplicate-entries.xlsx", dup.getvalue())
    put(t, "raw-dotdot-entry.xlsx", zipped(base + [("../../outside.txt", "x"), ("/abs.txt", "y")]))
    put(t, "raw-case-twins.xlsx", zipped(base + [("XL/WORKBOOK.XML", "<x/>")]))
    # Sizes that lie: a huge uncompressed size, and a negative-looking one.
    for label, size in (("huge", 0xFFFFFFF0), ("negative", 0x80000000)):
        data = bytearray(good)
        at = data.rfind(b"PK\x01\x02")
        while at >= 0:
            struct.pack_into("<I", data, at + 24, size)
            at = data.rfind(b"PK\x01\x02", 0, at)
        put(t, "raw-size-%s.xlsx" % label, bytes(data))
    # A small bomb: the styles part expands a thousandfold.
    put(t, "raw-bomb.xlsx", zipped(replace_part(base, "xl/styles.xml", STYLES.replace("</styleSheet>", " " * 4_000_000 + "</styleSheet>"))))
    put(t, "raw-legacy.xls", b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + b"\x00" * 504)
    put(t, "raw-csv.xlsx", "序号,日期\n1,2024-01-05\n")
    put(t, "raw-empty-zip.xlsx", b"PK\x05\x06" + b"\x00" * 18)


if __name__ == "__main__":
    startup()
    connection()
    statements()
    periods()
    textformats()
    gridformats()
    workbooks()
