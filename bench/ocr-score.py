#!/usr/bin/env python3
"""Scores recognised text against the truth of bench/make-text-pages.cpp.

  ocr-score.py [--except=NN,...] pdf FILE.pdf TRUTH_FOLDER     page n of the PDF (pdftotext) against TRUTH_FOLDER's
                                              n-th NN.txt
  ocr-score.py [--except=NN,...] text OUT_FOLDER TRUTH_FOLDER  OUT_FOLDER/NN.txt (the engine's
                                              text output) against TRUTH_FOLDER/NN.txt
--except leaves those pages out of the sums (the upside-down photo, for a tool that does not turn
pages).

Prints one line: "cer C errors E chars N han_spaces S pages P", where
  C  character error rate: the Levenshtein distance of the text and the truth, both with every
     whitespace character removed, summed over the pages, over the truth's length (N)
  S  the gaps of white space between two Han characters in the text as given (before removing
     whitespace): where a copy from the PDF would read "负 荷" instead of "负荷"
PER_PAGE=1 adds a line per page ("page NN cer C errors E chars N han_spaces S").
"""

import os
import re
import subprocess
import sys

HAN = "\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff"
HAN_GAP = re.compile(f"(?<=[{HAN}])[^\\S\\n]+(?=[{HAN}])")
WHITESPACE = re.compile(r"\s+")


def distance(a, b):
    """Levenshtein distance, one row at a time."""
    if len(a) < len(b):
        a, b = b, a
    previous = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        current = [i]
        for j, cb in enumerate(b, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (ca != cb)))
        previous = current
    return previous[-1]


def pdf_page_text(pdf, page):
    return subprocess.run(
        ["pdftotext", "-enc", "UTF-8", "-f", str(page), "-l", str(page), pdf, "-"],
        check=True, capture_output=True, text=True).stdout


def pdf_pages(pdf):
    info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
    return int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def main(argv):
    left_out = set()
    if len(argv) > 1 and argv[1].startswith("--except="):
        left_out = {n + ".txt" for n in argv[1][len("--except="):].split(",")}
        argv = argv[:1] + argv[2:]
    if len(argv) != 4 or argv[1] not in ("pdf", "text"):
        sys.stderr.write(__doc__)
        return 2
    kind, source, truth_folder = argv[1:]
    all_names = sorted(n for n in os.listdir(truth_folder) if re.fullmatch(r"\d+\.txt", n))
    names = [n for n in all_names if n not in left_out]
    if not names:
        sys.stderr.write(f"ocr-score: no truth (NN.txt) in {truth_folder}\n")
        return 1
    if kind == "pdf" and pdf_pages(source) != len(all_names):
        sys.stderr.write(f"ocr-score: {source} has {pdf_pages(source)} pages, {truth_folder} the truth of {len(all_names)}\n")
        return 1
    total_errors = total_chars = total_gaps = 0
    for name in names:
        page = all_names.index(name) + 1
        if kind == "pdf":
            text = pdf_page_text(source, page)
        else:
            path = os.path.join(source, name)
            text = read(path) if os.path.exists(path) else ""
        truth = WHITESPACE.sub("", read(os.path.join(truth_folder, name)))
        errors = distance(WHITESPACE.sub("", text), truth)
        gaps = len(HAN_GAP.findall(text))
        total_errors += errors
        total_chars += len(truth)
        total_gaps += gaps
        if os.environ.get("PER_PAGE") == "1":
            print(f"page {name[:-4]} cer {errors / len(truth):.4f} errors {errors} chars {len(truth)} han_spaces {gaps}")
    print(f"cer {total_errors / total_chars:.4f} errors {total_errors} chars {total_chars} "
          f"han_spaces {total_gaps} pages {len(names)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
