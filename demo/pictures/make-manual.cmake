# Writes a one-page PDF manual: cmake -DTITLE=... -DOUT=... -P make-manual.cmake
# The cross-reference offsets are counted here, so the file is a valid PDF.
set(stream "BT /F1 24 Tf 72 760 Td (${TITLE}) Tj ET")
string(LENGTH "${stream}" stream_length)
set(objects
  "<< /Type /Catalog /Pages 2 0 R >>"
  "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"
  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>"
  "<< /Length ${stream_length} >>\nstream\n${stream}\nendstream"
  "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>")
set(pdf "%PDF-1.4\n")
set(xref "xref\n0 6\n0000000000 65535 f \n")
set(n 1)
foreach(object IN LISTS objects)
  string(LENGTH "${pdf}" offset)
  string(LENGTH "${offset}" digits)
  math(EXPR pad "10 - ${digits}")
  string(REPEAT "0" ${pad} zeros)
  string(APPEND xref "${zeros}${offset} 00000 n \n")
  string(APPEND pdf "${n} 0 obj\n${object}\nendobj\n")
  math(EXPR n "${n} + 1")
endforeach()
string(LENGTH "${pdf}" xref_offset)
string(APPEND pdf "${xref}trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n${xref_offset}\n%%EOF\n")
file(WRITE "${OUT}" "${pdf}")
