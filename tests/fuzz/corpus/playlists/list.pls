1[playlist]
NumberOfEntries=3
File2=b.ogg
Title2=B
File1=/a.mp3
file10=file:///c%20d.wav
Length1=-1
Version=2
