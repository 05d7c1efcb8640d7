C:
cd C:\WORK\DEMO\
C:\IDE\compiler\TP3 Demo /H /S2E9B /ED200 /Rerrors.txt > result.txt
