<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>velmora::FailureSummary</name>
    <message>
        <source>Failed to load the following files.</source>
        <translation>Die folgenden Dateien konnten nicht geladen werden.</translation>
    </message>
    <message>
        <source>&lt;more files&gt;...</source>
        <translation>&lt;weitere Dateien&gt; …</translation>
    </message>
    <message>
        <source>To get help, please contact &lt;%1&gt;.</source>
        <translation>Hilfe erhalten Sie unter &lt;%1&gt;.</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>not an AIFF file</source>
        <translation>keine AIFF-Datei</translation>
    </message>
    <message>
        <source>damaged or truncated header</source>
        <translation>Dateikopf beschädigt oder unvollständig</translation>
    </message>
    <message>
        <source>unsupported sample format</source>
        <translation>Sampleformat nicht unterstützt</translation>
    </message>
    <message>
        <source>unsupported compression &apos;%1&apos;</source>
        <translation>Kompression „%1“ nicht unterstützt</translation>
    </message>
</context>
<context>
    <name>velmora::FileListModel</name>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Freq.</source>
        <translation>Freq.</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Kanäle</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CAboutDlg</name>
    <message>
        <source>About Velmora</source>
        <translation>Über Velmora</translation>
    </message>
    <message>
        <source>Velmora v%1 build %2</source>
        <translation>Velmora v%1, Build %2</translation>
    </message>
    <message>
        <source>Copyright © Tandrel. All rights reserved.
Velmora is provided as is, without warranty of any kind.</source>
        <translation>Copyright © Tandrel. Alle Rechte vorbehalten.
Velmora wird ohne Gewähr bereitgestellt, wie es ist.</translation>
    </message>
    <message>
        <source>Visit Velmora Homepage</source>
        <translation>Velmora-Webseite besuchen</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Rückmeldung und Hilfe</translation>
    </message>
    <message>
        <source>The program uses LAME MP3 encoder</source>
        <translation>Das Programm verwendet den MP3-Kodierer LAME</translation>
    </message>
    <message>
        <source>&amp;Check Updates</source>
        <translation>Nach &amp;Aktualisierungen suchen</translation>
    </message>
    <message>
        <source>Tell a Friend</source>
        <translation>Weiterempfehlen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CAddFilesProgressDlg</name>
    <message>
        <source>Adding files</source>
        <translation>Dateien werden hinzugefügt</translation>
    </message>
    <message>
        <source>Files added</source>
        <translation>Hinzugefügte Dateien</translation>
    </message>
    <message>
        <source>Searching AIFF files...</source>
        <translation>AIFF-Dateien werden gesucht …</translation>
    </message>
    <message>
        <source>Adding AIFF file %1 of %2...</source>
        <translation>AIFF-Datei %1 von %2 wird hinzugefügt …</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CConvertProgressDlg</name>
    <message>
        <source>Converting files</source>
        <translation>Dateien werden umgewandelt</translation>
    </message>
    <message>
        <source>Progress of this file</source>
        <translation>Fortschritt dieser Datei</translation>
    </message>
    <message>
        <source>Progress of all files</source>
        <translation>Fortschritt aller Dateien</translation>
    </message>
    <message>
        <source>Converting %2...%1%</source>
        <translation>%2 wird umgewandelt … %1 %</translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to MP3...</source>
        <translation>
            <numerusform>Datei %1 von %n wird in MP3 umgewandelt …</numerusform>
            <numerusform>Datei %1 von %n wird in MP3 umgewandelt …</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to WAV...</source>
        <translation>
            <numerusform>Datei %1 von %n wird in WAV umgewandelt …</numerusform>
            <numerusform>Datei %1 von %n wird in WAV umgewandelt …</numerusform>
        </translation>
    </message>
    <message>
        <source>Measuring %2...%1%</source>
        <translation>%2 wird gemessen … %1 %</translation>
    </message>
    <message>
        <source>Measuring loudness before converting...</source>
        <translation>Lautheit wird vor dem Umwandeln gemessen …</translation>
    </message>
    <message>
        <source>Measuring loudness: %1 of %2 file(s)...</source>
        <translation>Lautheit wird gemessen: %1 von %2 Datei(en) …</translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to FLAC...</source>
        <translation>
            <numerusform>Datei %1 von %n wird in FLAC umgewandelt …</numerusform>
            <numerusform>Datei %1 von %n wird in FLAC umgewandelt …</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to Opus...</source>
        <translation>
            <numerusform>Datei %1 von %n wird in Opus umgewandelt …</numerusform>
            <numerusform>Datei %1 von %n wird in Opus umgewandelt …</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>velmora::ui::CId3TagDlg</name>
    <message>
        <source>No genre</source>
        <translation>Kein Genre</translation>
    </message>
    <message>
        <source>Edit ID3 tag</source>
        <translation>ID3-Tag bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Titel:</translation>
    </message>
    <message>
        <source>Name as file name (not include extension)</source>
        <translation>Dateiname als Titel (ohne Endung)</translation>
    </message>
    <message>
        <source>&amp;Artist:</source>
        <translation>&amp;Interpret:</translation>
    </message>
    <message>
        <source>Albu&amp;m:</source>
        <translation>Al&amp;bum:</translation>
    </message>
    <message>
        <source>&amp;Year:</source>
        <translation>&amp;Jahr:</translation>
    </message>
    <message>
        <source>&amp;Genre:</source>
        <translation>&amp;Genre:</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Kommentar:</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CLinkStatic</name>
    <message>
        <source>The link has no address.</source>
        <translation>Der Verweis hat keine Adresse.</translation>
    </message>
    <message>
        <source>Unable to open hyperlink:

%1</source>
        <translation>Der Verweis kann nicht geöffnet werden:

%1</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CMainDlg</name>
    <message>
        <source>You should select a AIFF file at least.</source>
        <translation>Bitte wählen Sie mindestens eine AIFF-Datei aus.</translation>
    </message>
    <message>
        <source>There aren&apos;t AIFF files in list.</source>
        <translation>Die Liste enthält keine AIFF-Dateien.</translation>
    </message>
    <message>
        <source>AIFF files</source>
        <translation>AIFF-Dateien</translation>
    </message>
    <message>
        <source>&amp;Add AIFF</source>
        <translation>&amp;AIFF einlesen</translation>
    </message>
    <message>
        <source>Add AIFF/AIF/AIFC files</source>
        <translation>AIFF/AIF/AIFC-Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add &amp;Folder</source>
        <translation>&amp;Ordner einlesen</translation>
    </message>
    <message>
        <source>Add AIFF/AIF/AIFC files from a folder</source>
        <translation>AIFF/AIF/AIFC-Dateien aus einem Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation>A&amp;lle entfernen</translation>
    </message>
    <message>
        <source>Remove all files in list</source>
        <translation>Alle Dateien aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Convert to &amp;MP3</source>
        <translation>&amp;MP3 erstellen</translation>
    </message>
    <message>
        <source>Convert all files to MP3 format</source>
        <translation>Alle Dateien in MP3 umwandeln</translation>
    </message>
    <message>
        <source>Convert to &amp;WAV</source>
        <translation>&amp;WAV erstellen</translation>
    </message>
    <message>
        <source>Convert all files to WAV format</source>
        <translation>Alle Dateien in WAV umwandeln</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Visit Velmora Homepage</source>
        <translation>Velmora-Webseite besuchen</translation>
    </message>
    <message>
        <source>&amp;Convert to MP3</source>
        <translation>In M&amp;P3 umwandeln</translation>
    </message>
    <message>
        <source>Con&amp;vert to WAV</source>
        <translation>In W&amp;AV umwandeln</translation>
    </message>
    <message>
        <source>Convert All to &amp;MP3</source>
        <translation>Alle in &amp;MP3 umwandeln</translation>
    </message>
    <message>
        <source>Convert All to &amp;WAV</source>
        <translation>Alle in &amp;WAV umwandeln</translation>
    </message>
    <message>
        <source>Browse &amp;Source Folder</source>
        <translation>&amp;Quellordner öffnen</translation>
    </message>
    <message>
        <source>Browse Destination &amp;Folder</source>
        <translation>&amp;Zielordner öffnen</translation>
    </message>
    <message>
        <source>&amp;Add AIFF...</source>
        <translation>AIFF e&amp;inlesen …</translation>
    </message>
    <message>
        <source>Add F&amp;older</source>
        <translation>&amp;Ordner einlesen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Remove Al&amp;l</source>
        <translation>A&amp;lle entfernen</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Hilfethemen</translation>
    </message>
    <message>
        <source>&amp;Tell A Friend</source>
        <translation>&amp;Weiterempfehlen</translation>
    </message>
    <message>
        <source>&amp;Feedback and Support</source>
        <translation>&amp;Rückmeldung und Hilfe</translation>
    </message>
    <message>
        <source>Home&amp;page</source>
        <translation>Web&amp;seite</translation>
    </message>
    <message>
        <source>&amp;Check Latest Version</source>
        <translation>Nach neuer &amp;Version suchen</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber Velmora …</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner einlesen</translation>
    </message>
    <message>
        <source>Please choose a folder:</source>
        <translation>Bitte wählen Sie einen Ordner:</translation>
    </message>
    <message>
        <source>AIFF to MP3, WAV, FLAC and Opus</source>
        <translation>AIFF in MP3, WAV, FLAC und Opus</translation>
    </message>
    <message>
        <source>&amp;Details...</source>
        <translation>&amp;Details …</translation>
    </message>
    <message numerus="yes">
        <source>%n dropped file(s) skipped: not AIFF files (.aif, .aiff, .aifc, .afc).</source>
        <translation>
            <numerusform>%n abgelegte Datei übersprungen: keine AIFF-Datei (.aif, .aiff, .aifc, .afc).</numerusform>
            <numerusform>%n abgelegte Dateien übersprungen: keine AIFF-Dateien (.aif, .aiff, .aifc, .afc).</numerusform>
        </translation>
    </message>
    <message>
        <source>No file manager could be opened to show &quot;%1&quot;.</source>
        <translation>Kein Dateimanager konnte geöffnet werden, um „%1“ zu zeigen.</translation>
    </message>
    <message>
        <source>Sort &amp;By</source>
        <translation>Sortieren &amp;nach</translation>
    </message>
    <message>
        <source>Convert Selection &amp;To</source>
        <translation>Au&amp;swahl umwandeln in</translation>
    </message>
    <message>
        <source>Co&amp;nvert All To</source>
        <translation>Alle &amp;umwandeln in</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptLoudnessPage</name>
    <message>
        <source>The loudness of the sound handed to the MP3 or WAV encoder. A decoded MP3 measures a little lower, at 128 kbit/s by 0.5 to 0.7 LU, as the encoder leaves out the highest frequencies.</source>
        <translation>Die Lautheit des Klangs, der dem MP3- oder WAV-Encoder übergeben wird. Ein decodiertes MP3 misst etwas weniger, bei 128 kbit/s um 0,5 bis 0,7 LU, weil der Encoder die höchsten Frequenzen weglässt.</translation>
    </message>
    <message>
        <source>Loudness (EBU R128)</source>
        <translation>Lautheit (EBU R128)</translation>
    </message>
    <message>
        <source>&amp;Off</source>
        <translation>&amp;Aus</translation>
    </message>
    <message>
        <source>&amp;ReplayGain tags</source>
        <translation>&amp;ReplayGain-Tags</translation>
    </message>
    <message>
        <source>&amp;Normalise the sound to:</source>
        <translation>Ton &amp;normalisieren auf:</translation>
    </message>
    <message>
        <source> LUFS</source>
        <translation> LUFS</translation>
    </message>
    <message>
        <source>Target loudness</source>
        <translation>Ziel-Lautheit</translation>
    </message>
    <message>
        <source> dBTP</source>
        <translation> dBTP</translation>
    </message>
    <message>
        <source>True-peak &amp;ceiling:</source>
        <translation>&amp;Obergrenze für True Peak:</translation>
    </message>
    <message>
        <source>&amp;Album mode</source>
        <translation>Al&amp;bum-Modus</translation>
    </message>
    <message>
        <source>The files of one source folder are measured together, as one album</source>
        <translation>Die Dateien eines Quellordners werden zusammen gemessen, als ein Album</translation>
    </message>
    <message>
        <source>ReplayGain tags tell players how far to turn each file up or down to reach -18 LUFS. Normalising changes the sound itself and takes the place of the Amplify settings of the MP3 and WAV pages; it never clips: where a file&apos;s true peak would pass the ceiling, it is brought up less. Album mode treats the files of one source folder as one album. Every source is measured before the conversion starts.</source>
        <translation>ReplayGain-Tags sagen Wiedergabeprogrammen, wie weit sie jede Datei lauter oder leiser stellen sollen, um -18 LUFS zu erreichen. Normalisieren ändert den Ton selbst und tritt an die Stelle der Einstellung „Lautstärke anheben / absenken“ der Seiten MP3 und WAV; es übersteuert nie: Würde der True Peak einer Datei die Obergrenze überschreiten, wird sie weniger angehoben. Der Album-Modus behandelt die Dateien eines Quellordners als ein Album. Jede Quelle wird vor dem Umwandeln gemessen.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptMp3Page</name>
    <message>
        <source>11025 Hz, 16 kbps, Mono (low quality, smaller file size)</source>
        <translation>11025 Hz, 16 kbit/s, Mono (geringe Qualität, kleinere Datei)</translation>
    </message>
    <message>
        <source>22050 Hz, 32 kbps, Joint Stereo (OK quality, small size)</source>
        <translation>22050 Hz, 32 kbit/s, Joint Stereo (brauchbare Qualität, kleine Datei)</translation>
    </message>
    <message>
        <source>32000 Hz, 96 kbps, Joint Stereo (medium quality, normal size)</source>
        <translation>32000 Hz, 96 kbit/s, Joint Stereo (mittlere Qualität, normale Größe)</translation>
    </message>
    <message>
        <source>44100Hz, 128 kbps, Joint Stereo (close to CD-quality, large size)</source>
        <translation>44100 Hz, 128 kbit/s, Joint Stereo (fast CD-Qualität, große Datei)</translation>
    </message>
    <message>
        <source>MP3 Encoding Parameters</source>
        <translation>MP3-Kodierung</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Automatisch</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>%1 kbps</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>&amp;Encoding Options:</source>
        <translation>&amp;Vorgabe:</translation>
    </message>
    <message>
        <source>Sample &amp;Frequency:</source>
        <translation>&amp;Abtastrate:</translation>
    </message>
    <message>
        <source>&amp;Bit Rate:</source>
        <translation>&amp;Bitrate:</translation>
    </message>
    <message>
        <source>&amp;Joint Stereo</source>
        <translation>&amp;Joint Stereo</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <translation>&amp;Stereo</translation>
    </message>
    <message>
        <source>&amp;Mono</source>
        <translation>&amp;Mono</translation>
    </message>
    <message>
        <source>Joint Stereo vs. Stereo</source>
        <translation>Joint Stereo oder Stereo?</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Constant bit rate</source>
        <translation>Konstante Bitrate</translation>
    </message>
    <message>
        <source>Variable, V%1 (best quality, largest size)</source>
        <translation>Variabel, V%1 (beste Qualität, größte Datei)</translation>
    </message>
    <message>
        <source>Variable, V%1 (lowest quality, smallest size)</source>
        <translation>Variabel, V%1 (geringste Qualität, kleinste Datei)</translation>
    </message>
    <message>
        <source>Variable, V%1</source>
        <translation>Variabel, V%1</translation>
    </message>
    <message>
        <source>&amp;Gapless playback</source>
        <translation>&amp;Lückenlose Wiedergabe</translation>
    </message>
    <message>
        <source>Tells players the encoder&apos;s delay and padding, so that they play exactly the source&apos;s length. Variable bit rate always does.</source>
        <translation>Teilt Wiedergabeprogrammen die Verzögerung und das Auffüllen des Kodierers mit, damit sie genau die Länge der Quelle abspielen. Variable Bitrate tut das immer.</translation>
    </message>
    <message>
        <source>&amp;Quality:</source>
        <translation>&amp;Qualität:</translation>
    </message>
    <message>
        <source>Quality: constant bit rate, or variable bit rate V0 to V9</source>
        <translation>Qualität: konstante Bitrate oder variable Bitrate V0 bis V9</translation>
    </message>
    <message>
        <source>Gapless playback at constant bit rate</source>
        <translation>Lückenlose Wiedergabe bei konstanter Bitrate</translation>
    </message>
    <message>
        <source>The program uses LAME MP3 encoder.</source>
        <translation>Das Programm verwendet den MP3-Kodierer LAME.</translation>
    </message>
    <message>
        <source>ID3 tag</source>
        <translation>ID3-Tag</translation>
    </message>
    <message>
        <source>Add &amp;ID3 tag when converting AIFF to MP3</source>
        <translation>Beim Umwandeln in MP3 ein &amp;ID3-Tag hinzufügen</translation>
    </message>
    <message>
        <source>Edit ID3 &amp;tag</source>
        <translation>ID3-Tag bearbei&amp;ten</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptOutputPage</name>
    <message>
        <source>Output Folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>Same as source file</source>
        <translation>Ordner der Quelldatei</translation>
    </message>
    <message>
        <source>Specify output folder</source>
        <translation>Ausgabeordner festlegen</translation>
    </message>
    <message>
        <source>&amp;Output Folder:</source>
        <translation>&amp;Ausgabeordner:</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Durchsuchen …</translation>
    </message>
    <message>
        <source>Browse for the output folder</source>
        <translation>Ausgabeordner auswählen</translation>
    </message>
    <message>
        <source>&amp;Specific Folder:</source>
        <translation>&amp;Ordner:</translation>
    </message>
    <message>
        <source>&amp;Create folders according to path of source file</source>
        <translation>Ordner nach dem Pfad der Quelldatei an&amp;legen</translation>
    </message>
    <message>
        <source>For example, the source &quot;/home/ann/Music/pop/track.aiff&quot; with the output folder &quot;/home/ann/Converted&quot; is written into &quot;/home/ann/Converted/home/ann/Music/pop&quot;, which is created automatically.</source>
        <translation>Zum Beispiel wird die Quelle „/home/ann/Music/pop/track.aiff“ mit dem Ausgabeordner „/home/ann/Converted“ nach „/home/ann/Converted/home/ann/Music/pop“ geschrieben; dieser Ordner wird selbst angelegt.</translation>
    </message>
    <message>
        <source>{name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}; &quot;/&quot; makes folders; {artist|Various} names a fallback; {path}/ recreates the folders below a folder added or dropped.</source>
        <translation>{name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}; „/“ legt Ordner an; {artist|Various} nennt einen Ersatz; {path}/ legt die Ordner unter einem hinzugefügten oder abgelegten Ordner wieder an.</translation>
    </message>
    <message>
        <source>File &amp;names:</source>
        <translation>Datei&amp;namen:</translation>
    </message>
    <message>
        <source>&amp;Browse output folder while conversion is complete</source>
        <translation>Ausgabeordner nach der Umwandlung ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Tags</translation>
    </message>
    <message>
        <source>Copy &amp;tags from the source file</source>
        <translation>&amp;Tags aus der Quelldatei übernehmen</translation>
    </message>
    <message>
        <source>Copy tags from the source file</source>
        <translation>Tags aus der Quelldatei übernehmen</translation>
    </message>
    <message>
        <source>Title, artist, album, comments, cover picture and the like go into the output file.</source>
        <translation>Titel, Interpret, Album, Kommentare, Titelbild und Ähnliches kommen in die Ausgabedatei.</translation>
    </message>
    <message>
        <source>For example, &quot;%1&quot; becomes &quot;%2.mp3&quot;.</source>
        <translation>Zum Beispiel wird aus „%1“ „%2.mp3“.</translation>
    </message>
    <message>
        <source>Please choose an output folder:</source>
        <translation>Bitte wählen Sie einen Ausgabeordner:</translation>
    </message>
    <message>
        <source>Please choose an output folder.</source>
        <translation>Bitte wählen Sie einen Ausgabeordner.</translation>
    </message>
    <message>
        <source>Please correct the file names: %1.</source>
        <translation>Bitte korrigieren Sie die Dateinamen: %1.</translation>
    </message>
    <message>
        <source>the name pattern is empty</source>
        <translation>das Namensmuster ist leer</translation>
    </message>
    <message>
        <source>the name pattern must not start with &apos;/&apos;: it names a path below the output folder</source>
        <translation>das Namensmuster darf nicht mit „/“ beginnen: es nennt einen Pfad unterhalb des Ausgabeordners</translation>
    </message>
    <message>
        <source>the name pattern must end with a file name, not &apos;/&apos;</source>
        <translation>das Namensmuster muss mit einem Dateinamen enden, nicht mit „/“</translation>
    </message>
    <message>
        <source>the name pattern has an empty, &apos;.&apos; or &apos;..&apos; folder</source>
        <translation>das Namensmuster enthält einen leeren Ordner oder einen Ordner „.“ oder „..“</translation>
    </message>
    <message>
        <source>the name pattern has a &apos;}&apos; without its &apos;{&apos;</source>
        <translation>das Namensmuster enthält ein „}“ ohne sein „{“</translation>
    </message>
    <message>
        <source>the name pattern has a &apos;{&apos; without its &apos;}&apos;</source>
        <translation>das Namensmuster enthält ein „{“ ohne sein „}“</translation>
    </message>
    <message>
        <source>the name pattern has an unknown field {%1}; known: {name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}</source>
        <translation>das Namensmuster enthält ein unbekanntes Feld {%1}; bekannt sind: {name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}</translation>
    </message>
    <message>
        <source>&amp;Verify each output before it is saved</source>
        <translation>Jede Ausgabe vor dem Speichern &amp;prüfen</translation>
    </message>
    <message>
        <source>Each new file is read back before it takes its name: WAV and FLAC files sample by sample, MP3 and Opus files decoded whole. A file that fails is not saved.</source>
        <translation>Jede neue Datei wird zurückgelesen, bevor sie ihren Namen bekommt: WAV- und FLAC-Dateien Sample für Sample, MP3- und Opus-Dateien ganz dekodiert. Eine Datei, die durchfällt, wird nicht gespeichert.</translation>
    </message>
    <message>
        <source>the name pattern must give {path} a whole folder of its own, as in {path}/{name}</source>
        <translation>das Namensmuster muss {path} einen ganzen Ordner für sich geben, wie in {path}/{name}</translation>
    </message>
    <message>
        <source>Copy covers and notes &amp;found beside the sources</source>
        <translation>Cover und Begleittexte neben den Quellen &amp;mitkopieren</translation>
    </message>
    <message>
        <source>Pictures, PDF and text files in a source&apos;s folder are copied into the folder its output goes to. A name already there is left alone; cue sheets and playlists are never copied.</source>
        <translation>Bilder, PDF- und Textdateien im Ordner einer Quelle werden in den Ordner ihrer Ausgabe kopiert. Ein dort schon vorhandener Name bleibt unangetastet; Cue-Sheets und Wiedergabelisten werden nie kopiert.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptSheet</name>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>MP3 Options</source>
        <translation>MP3-Einstellungen</translation>
    </message>
    <message>
        <source>WAV Options</source>
        <translation>WAV-Einstellungen</translation>
    </message>
    <message>
        <source>Output Options</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Lautheit</translation>
    </message>
    <message>
        <source>FLAC Options</source>
        <translation>FLAC</translation>
    </message>
    <message>
        <source>Opus Options</source>
        <translation>Opus</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptWavPage</name>
    <message>
        <source>11025 Hz, 8 bits, Mono (low quality, smaller file size)</source>
        <translation>11025 Hz, 8 Bit, Mono (geringe Qualität, kleinere Datei)</translation>
    </message>
    <message>
        <source>22050 Hz, 16 bits, Stereo (OK quality, small size)</source>
        <translation>22050 Hz, 16 Bit, Stereo (brauchbare Qualität, kleine Datei)</translation>
    </message>
    <message>
        <source>32000 Hz, 16 bits, Stereo (medium quality, normal size)</source>
        <translation>32000 Hz, 16 Bit, Stereo (mittlere Qualität, normale Größe)</translation>
    </message>
    <message>
        <source>44100Hz, 16 bits, Stereo (high quality, large size)</source>
        <translation>44100 Hz, 16 Bit, Stereo (hohe Qualität, große Datei)</translation>
    </message>
    <message>
        <source>WAV Encoding Parameters</source>
        <translation>WAV-Kodierung</translation>
    </message>
    <message>
        <source>Auto (recommended)</source>
        <translation>Automatisch (empfohlen)</translation>
    </message>
    <message>
        <source>Same as source (lossless)</source>
        <translation>Wie die Quelle (verlustfrei)</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>%1 bits</source>
        <translation>%1 Bit</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>&amp;Encoding Options:</source>
        <translation>&amp;Vorgabe:</translation>
    </message>
    <message>
        <source>Sample &amp;Frequency:</source>
        <translation>&amp;Abtastrate:</translation>
    </message>
    <message>
        <source>&amp;Bits:</source>
        <translation>&amp;Bits:</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <translation>&amp;Stereo</translation>
    </message>
    <message>
        <source>&amp;Mono</source>
        <translation>&amp;Mono</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CProgressDlg</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>velmora::ui::ConversionRun</name>
    <message>
        <source>Converting...</source>
        <translation>Wird umgewandelt …</translation>
    </message>
</context>
<context>
    <name>velmora::ui::FileChooser</name>
    <message>
        <source>Add AIFF</source>
        <translation>AIFF einlesen</translation>
    </message>
    <message>
        <source>AIFF Files (*.aiff *.aif *.aifc *.afc *.AIFF *.AIF *.AIFC *.AFC)</source>
        <translation>AIFF-Dateien (*.aiff *.aif *.aifc *.afc *.AIFF *.AIF *.AIFC *.AFC)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>velmora::ui::FileListAccessible</name>
    <message>
        <source>Sort the list by this column</source>
        <translation>Die Liste nach dieser Spalte sortieren</translation>
    </message>
</context>
<context>
    <name>velmora::ui::HelpWindow</name>
    <message>
        <source>Link to the help page &quot;%1&quot;</source>
        <translation>Verweis auf die Hilfeseite „%1“</translation>
    </message>
    <message>
        <source>Link to %1</source>
        <translation>Verweis auf %1</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
    <message>
        <source>Adding files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>Umwandeln</translation>
    </message>
    <message>
        <source>MP3 options</source>
        <translation>MP3-Einstellungen</translation>
    </message>
    <message>
        <source>WAV options</source>
        <translation>WAV-Einstellungen</translation>
    </message>
    <message>
        <source>Output options</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Where files go</source>
        <translation>Wohin die Dateien kommen</translation>
    </message>
    <message>
        <source>Command line</source>
        <translation>Befehlszeile</translation>
    </message>
    <message>
        <source>Settings file</source>
        <translation>Einstellungsdatei</translation>
    </message>
    <message>
        <source>Keys and mouse</source>
        <translation>Tastatur und Maus</translation>
    </message>
    <message>
        <source>Velmora Help</source>
        <translation>Velmora-Hilfe</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Help page</source>
        <translation>Hilfeseite</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Lautheit</translation>
    </message>
    <message>
        <source>FLAC options</source>
        <translation>FLAC-Einstellungen</translation>
    </message>
    <message>
        <source>Opus options</source>
        <translation>Opus-Einstellungen</translation>
    </message>
</context>
<context>
    <name>velmora::ui::SoundGroup</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Invalid amplification coefficient. It&apos;s betwen 10 and 3000.</source>
        <translation>Ungültiger Verstärkungsfaktor. Er liegt zwischen 10 und 3000.</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Klang</translation>
    </message>
    <message>
        <source>&amp;Amplify / Reduce sound</source>
        <translation>Lautstärke an&amp;heben / absenken</translation>
    </message>
    <message>
        <source>&lt; 100% - Reduce sound
= 100% - No changes
&gt; 100% - Amplify sound</source>
        <translation>&lt; 100 % – leiser
= 100 % – unverändert
&gt; 100 % – lauter</translation>
    </message>
    <message>
        <source>&amp;Coefficient:</source>
        <translation>&amp;Faktor:</translation>
    </message>
</context>
<context>
    <name>velmora::ui::StatusText</name>
    <message>
        <source>source ends early: %1 of %2 frames</source>
        <translation>Quelle endet vorzeitig: %1 von %2 Frames</translation>
    </message>
    <message>
        <source>%1 kbit/s at %2 Hz</source>
        <translation>%1 kbit/s bei %2 Hz</translation>
    </message>
    <message>
        <source>not gapless: a frame of %1 has no room for the information frame</source>
        <translation>nicht lückenlos: ein Frame mit %1 bietet keinen Platz für den Info-Frame</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>Failed to create folder &quot;%1&quot;</source>
        <translation>Ordner „%1“ konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Failed to create destination file</source>
        <translation>Zieldatei konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Conversion Failure</source>
        <translation>Umwandlung fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 elapsed · %2 · %3× real time</source>
        <translation>%1 vergangen · %2 · %3× Echtzeit</translation>
    </message>
    <message>
        <source>about %1 left</source>
        <translation>noch etwa %1</translation>
    </message>
    <message>
        <source>— left</source>
        <translation>Rest —</translation>
    </message>
    <message>
        <source>%1 LUFS</source>
        <translation>%1 LUFS</translation>
    </message>
    <message>
        <source>%1 LUFS, held by the %2 dBTP ceiling</source>
        <translation>%1 LUFS, begrenzt durch die Obergrenze von %2 dBTP</translation>
    </message>
    <message>
        <source>ReplayGain %1 dB</source>
        <translation>ReplayGain %1 dB</translation>
    </message>
    <message>
        <source>too quiet to measure: no ReplayGain</source>
        <translation>zu leise zum Messen: kein ReplayGain</translation>
    </message>
    <message>
        <source>too quiet to measure: left as it is</source>
        <translation>zu leise zum Messen: unverändert</translation>
    </message>
    <message>
        <source>loudness not measured at %1 Hz</source>
        <translation>Lautheit bei %1 Hz nicht gemessen</translation>
    </message>
    <message numerus="yes">
        <source>, %Ln sample(s) not finite, measured as silence</source>
        <translation>
            <numerusform>, %Ln Abtastwert nicht endlich, als Stille gemessen</numerusform>
            <numerusform>, %Ln Abtastwerte nicht endlich, als Stille gemessen</numerusform>
        </translation>
    </message>
    <message>
        <source>Source: %1</source>
        <translation>Quelle: %1</translation>
    </message>
    <message>
        <source>Output: %1</source>
        <translation>Ausgabe: %1</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 KiB</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 Byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>%1 chunk of %2 left out (over the %3 limit for texts)</source>
        <translation>%1-Chunk mit %2 ausgelassen (über der Grenze von %3 für Texte)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln %1 chunks of %2 in all left out (over the %3 limit for texts)</source>
        <translation>
            <numerusform>%Ln %1-Chunk mit %2 ausgelassen (über der Grenze von %3 für Texte)</numerusform>
            <numerusform>%Ln %1-Chunks mit insgesamt %2 ausgelassen (über der Grenze von %3 für Texte)</numerusform>
        </translation>
    </message>
    <message>
        <source>ID3 %1 frame of %2 left out (over the %3 limit for texts)</source>
        <translation>ID3-Frame %1 mit %2 ausgelassen (über der Grenze von %3 für Texte)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln ID3 %1 frames of %2 in all left out (over the %3 limit for texts)</source>
        <translation>
            <numerusform>%Ln ID3-Frame %1 mit %2 ausgelassen (über der Grenze von %3 für Texte)</numerusform>
            <numerusform>%Ln ID3-Frames %1 mit insgesamt %2 ausgelassen (über der Grenze von %3 für Texte)</numerusform>
        </translation>
    </message>
    <message>
        <source>picture of %1 left out (over the %2 limit for pictures)</source>
        <translation>Bild mit %1 ausgelassen (über der Grenze von %2 für Bilder)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures of %1 in all left out (over the %2 limit for pictures)</source>
        <translation>
            <numerusform>%Ln Bild mit %1 ausgelassen (über der Grenze von %2 für Bilder)</numerusform>
            <numerusform>%Ln Bilder mit insgesamt %1 ausgelassen (über der Grenze von %2 für Bilder)</numerusform>
        </translation>
    </message>
    <message>
        <source>compressed ID3 frame of %1 left out (over the %2 limit for inflating)</source>
        <translation>komprimierter ID3-Frame mit %1 ausgelassen (über der Grenze von %2 zum Entpacken)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln compressed ID3 frames of %1 in all left out (over the %2 limit for inflating)</source>
        <translation>
            <numerusform>%Ln komprimierter ID3-Frame mit %1 ausgelassen (über der Grenze von %2 zum Entpacken)</numerusform>
            <numerusform>%Ln komprimierte ID3-Frames mit insgesamt %1 ausgelassen (über der Grenze von %2 zum Entpacken)</numerusform>
        </translation>
    </message>
    <message>
        <source>picture left out (at most %1 are kept)</source>
        <translation>Bild ausgelassen (höchstens %1 werden übernommen)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures left out (at most %1 are kept)</source>
        <translation>
            <numerusform>%Ln Bild ausgelassen (höchstens %1 werden übernommen)</numerusform>
            <numerusform>%Ln Bilder ausgelassen (höchstens %1 werden übernommen)</numerusform>
        </translation>
    </message>
    <message>
        <source>metadata chunk left out (at most %1 are read)</source>
        <translation>Metadaten-Chunk ausgelassen (höchstens %1 werden gelesen)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln metadata chunks left out (at most %1 are read)</source>
        <translation>
            <numerusform>%Ln Metadaten-Chunk ausgelassen (höchstens %1 werden gelesen)</numerusform>
            <numerusform>%Ln Metadaten-Chunks ausgelassen (höchstens %1 werden gelesen)</numerusform>
        </translation>
    </message>
    <message>
        <source>ID3 %1 frame left out (damaged text)</source>
        <translation>ID3-Frame %1 ausgelassen (beschädigter Text)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln ID3 %1 frames left out (damaged text)</source>
        <translation>
            <numerusform>%Ln ID3-Frame %1 ausgelassen (beschädigter Text)</numerusform>
            <numerusform>%Ln ID3-Frames %1 ausgelassen (beschädigter Text)</numerusform>
        </translation>
    </message>
    <message>
        <source>tags not copied: ID3 chunk of %1 is over the limit</source>
        <translation>Tags nicht übernommen: ID3-Chunk mit %1 überschreitet die Grenze</translation>
    </message>
    <message numerus="yes">
        <source>tags not copied: %Ln ID3 chunks of %1 in all are over the limit</source>
        <translation>
            <numerusform>Tags nicht übernommen: %Ln ID3-Chunk mit %1 überschreitet die Grenze</numerusform>
            <numerusform>Tags nicht übernommen: %Ln ID3-Chunks mit insgesamt %1 überschreiten die Grenze</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 chunk of %2 is over the limit</source>
        <translation>%1-Chunk mit %2 überschreitet die Grenze</translation>
    </message>
    <message numerus="yes">
        <source>%Ln %1 chunks of %2 in all are over the limit</source>
        <translation>
            <numerusform>%Ln %1-Chunk mit %2 überschreitet die Grenze</numerusform>
            <numerusform>%Ln %1-Chunks mit insgesamt %2 überschreiten die Grenze</numerusform>
        </translation>
    </message>
    <message>
        <source>tags not copied: an ID3 tag of %1 is over its limit</source>
        <translation>Tags nicht übernommen: ID3-Tag mit %1 überschreitet die Höchstgröße</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>source: %1</source>
        <translation>Quelle: %1</translation>
    </message>
    <message>
        <source>invalid sample rate %1</source>
        <translation>ungültige Abtastrate %1</translation>
    </message>
    <message>
        <source>cannot convert %1 to %2</source>
        <translation>%1 kann nicht in %2 umgewandelt werden</translation>
    </message>
    <message>
        <source>cannot start the MP3 encoder</source>
        <translation>MP3-Encoder lässt sich nicht starten</translation>
    </message>
    <message>
        <source>the MP3 encoder does not take these settings</source>
        <translation>der MP3-Encoder nimmt diese Einstellungen nicht an</translation>
    </message>
    <message>
        <source>cannot write the output</source>
        <translation>Ausgabe kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the output would pass the 4 GiB limit of WAV files</source>
        <translation>die Ausgabe würde die Grenze von 4 GiB für WAV-Dateien überschreiten</translation>
    </message>
    <message>
        <source>sample rate %1 is too high for a WAV file</source>
        <translation>Abtastrate %1 ist zu hoch für eine WAV-Datei</translation>
    </message>
    <message>
        <source>%1 exists</source>
        <translation>%1 ist bereits vorhanden</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>zu wenig Arbeitsspeicher</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>verification failed</source>
        <translation>Überprüfung fehlgeschlagen</translation>
    </message>
    <message>
        <source>picture of %1 left out (over the %2 limit of a FLAC block)</source>
        <translation>Bild mit %1 ausgelassen (über der Grenze von %2 für einen FLAC-Block)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures of %1 in all left out (over the %2 limit of a FLAC block)</source>
        <translation>
            <numerusform>%Ln Bild mit %1 ausgelassen (über der Grenze von %2 für einen FLAC-Block)</numerusform>
            <numerusform>%Ln Bilder mit insgesamt %1 ausgelassen (über der Grenze von %2 für einen FLAC-Block)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 chunk of %2 not kept (over the %3 limit of a FLAC block): the AIFF restored from it will differ</source>
        <translation>%1-Chunk mit %2 nicht übernommen (über der Grenze von %3 für einen FLAC-Block): die daraus wiederhergestellte AIFF-Datei weicht ab</translation>
    </message>
    <message numerus="yes">
        <source>%Ln chunks of %1 in all not kept (over the %2 limit of a FLAC block): the AIFF restored from it will differ</source>
        <translation>
            <numerusform>%Ln Chunk mit %1 nicht übernommen (über der Grenze von %2 für einen FLAC-Block): die daraus wiederhergestellte AIFF-Datei weicht ab</numerusform>
            <numerusform>%Ln Chunks mit insgesamt %1 nicht übernommen (über der Grenze von %2 für einen FLAC-Block): die daraus wiederhergestellte AIFF-Datei weicht ab</numerusform>
        </translation>
    </message>
    <message>
        <source>float samples stored as %1-bit integers</source>
        <translation>Gleitkomma-Samples als %1-Bit-Ganzzahlen gespeichert</translation>
    </message>
    <message>
        <source>the Opus encoder failed</source>
        <translation>der Opus-Encoder ist gescheitert</translation>
    </message>
    <message>
        <source>picture left out (not JPEG, PNG or GIF)</source>
        <translation>Bild weggelassen (kein JPEG, PNG oder GIF)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures left out (not JPEG, PNG or GIF)</source>
        <translation>
            <numerusform>%Ln Bild weggelassen (kein JPEG, PNG oder GIF)</numerusform>
            <numerusform>%Ln Bilder weggelassen (kein JPEG, PNG oder GIF)</numerusform>
        </translation>
    </message>
    <message>
        <source>the source holds no sound at 48 kHz, and an Opus file cannot be empty</source>
        <translation>die Quelle enthält bei 48 kHz keinen Klang, und eine Opus-Datei kann nicht leer sein</translation>
    </message>
    <message numerus="yes">
        <source>%Ln marker(s) left out (past the last frame, %1, or with a repeated or bad id)</source>
        <translation>
            <numerusform>%Ln Marker ausgelassen (hinter dem letzten Frame, %1, oder mit doppelter oder ungültiger Kennung)</numerusform>
            <numerusform>%Ln Marker ausgelassen (hinter dem letzten Frame, %1, oder mit doppelter oder ungültiger Kennung)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln loop(s) left out (play mode not 0, 1 or 2)</source>
        <translation>
            <numerusform>%Ln Schleife ausgelassen (Wiedergabemodus nicht 0, 1 oder 2)</numerusform>
            <numerusform>%Ln Schleifen ausgelassen (Wiedergabemodus nicht 0, 1 oder 2)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln loop(s) left out (a marker it names is missing)</source>
        <translation>
            <numerusform>%Ln Schleife ausgelassen (ein genannter Marker fehlt)</numerusform>
            <numerusform>%Ln Schleifen ausgelassen (ein genannter Marker fehlt)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln loop(s) left out (it ends before it begins)</source>
        <translation>
            <numerusform>%Ln Schleife ausgelassen (sie endet vor ihrem Anfang)</numerusform>
            <numerusform>%Ln Schleifen ausgelassen (sie enden vor ihrem Anfang)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 chunk cut short: the rest left out</source>
        <translation>%1-Chunk gekürzt: der Rest ausgelassen</translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) copied</source>
        <translation>
            <numerusform>%Ln Begleitdatei kopiert</numerusform>
            <numerusform>%Ln Begleitdateien kopiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) already in the output folder, left alone</source>
        <translation>
            <numerusform>%Ln Begleitdatei schon im Ausgabeordner, unangetastet gelassen</numerusform>
            <numerusform>%Ln Begleitdateien schon im Ausgabeordner, unangetastet gelassen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) over the %1 limit, not copied</source>
        <translation>
            <numerusform>%Ln Begleitdatei über der Grenze von %1, nicht kopiert</numerusform>
            <numerusform>%Ln Begleitdateien über der Grenze von %1, nicht kopiert</numerusform>
        </translation>
    </message>
    <message>
        <source>companion file %1 not copied</source>
        <translation>Begleitdatei %1 nicht kopiert</translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) not copied, the first %1</source>
        <translation>
            <numerusform>%Ln Begleitdatei nicht kopiert, die erste %1</numerusform>
            <numerusform>%Ln Begleitdateien nicht kopiert, die erste %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>velmora::ui::UrlOpener</name>
    <message>
        <source>No program is set to open web addresses.</source>
        <translation>Kein Programm ist zum Öffnen von Webadressen eingerichtet.</translation>
    </message>
    <message>
        <source>No program is set to write e-mail.</source>
        <translation>Kein Programm ist zum Schreiben von E-Mails eingerichtet.</translation>
    </message>
    <message>
        <source>No program is set to open this kind of file.</source>
        <translation>Kein Programm ist zum Öffnen dieser Dateiart eingerichtet.</translation>
    </message>
    <message>
        <source>No program is set to open &quot;%1:&quot; addresses.</source>
        <translation>Kein Programm ist zum Öffnen von „%1:“-Adressen eingerichtet.</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>Die angegebene Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Unknown Error (%1) occurred.</source>
        <translation>Unbekannter Fehler (%1) aufgetreten.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptFlacPage</name>
    <message>
        <source>FLAC Encoding Parameters</source>
        <translation>FLAC-Kodierung</translation>
    </message>
    <message>
        <source>&amp;Compression level:</source>
        <translation>&amp;Kompressionsstufe:</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>Schneller</translation>
    </message>
    <message>
        <source>Smaller</source>
        <translation>Kleiner</translation>
    </message>
    <message>
        <source>%1 (default)</source>
        <translation>%1 (Standard)</translation>
    </message>
    <message>
        <source>Every level keeps the sound exactly as it is. A higher level takes longer to write a smaller file; level 5 is the usual balance, and files of any level play alike.</source>
        <translation>Jede Stufe erhält den Klang genau so, wie er ist. Eine höhere Stufe braucht länger und schreibt eine kleinere Datei; Stufe 5 ist der übliche Ausgleich, und Dateien jeder Stufe spielen gleich.</translation>
    </message>
    <message>
        <source>&amp;Keep the AIFF&apos;s chunks so the file can be restored whole</source>
        <translation>AIFF-&amp;Chunks behalten, damit sich die Datei vollständig wiederherstellen lässt</translation>
    </message>
    <message>
        <source>The source&apos;s header and its other chunks travel in the FLAC file, so that the original AIFF file can be restored from it byte for byte.</source>
        <translation>Der Kopf der Quelle und ihre übrigen Chunks reisen in der FLAC-Datei mit, sodass sich die ursprüngliche AIFF-Datei Byte für Byte daraus wiederherstellen lässt.</translation>
    </message>
    <message>
        <source>FLAC keeps every sample at the source&apos;s bit depth (floating-point sources become 24-bit), every channel and the sample rate. Tags, the cover picture and ReplayGain go in as Vorbis comments.</source>
        <translation>FLAC behält jedes Sample in der Bittiefe der Quelle (Gleitkomma-Quellen werden zu 24 Bit), jeden Kanal und die Abtastrate. Tags, das Titelbild und ReplayGain kommen als Vorbis-Kommentare hinein.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptOpusPage</name>
    <message>
        <source>Opus Encoding Parameters</source>
        <translation>Opus-Kodierung</translation>
    </message>
    <message>
        <source>Bit rate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>&amp;Automatic (%1 kbit/s a channel)</source>
        <translation>&amp;Automatisch (%1 kbit/s je Kanal)</translation>
    </message>
    <message>
        <source>%1 kbit/s for a mono file, %2 kbit/s for stereo, and so on for more channels.</source>
        <translation>%1 kbit/s für eine Mono-Datei, %2 kbit/s für Stereo, und so weiter für mehr Kanäle.</translation>
    </message>
    <message>
        <source>&amp;Fixed:</source>
        <translation>&amp;Fest:</translation>
    </message>
    <message>
        <source> kbit/s</source>
        <translation> kbit/s</translation>
    </message>
    <message>
        <source>Bit rate for every file</source>
        <translation>Bitrate für jede Datei</translation>
    </message>
    <message>
        <source>%1 to %2 kbit/s, for all channels of a file together.</source>
        <translation>%1 bis %2 kbit/s, für alle Kanäle einer Datei zusammen.</translation>
    </message>
    <message>
        <source>Bit rate control:</source>
        <translation>Bitratensteuerung:</translation>
    </message>
    <message>
        <source>&amp;Variable</source>
        <translation>&amp;Variabel</translation>
    </message>
    <message>
        <source>The rate follows the sound: the best sound for the size.</source>
        <translation>Die Bitrate folgt dem Klang: der beste Klang für die Größe.</translation>
    </message>
    <message>
        <source>&amp;Constrained variable</source>
        <translation>&amp;Begrenzt variabel</translation>
    </message>
    <message>
        <source>The rate varies, but stays close to the rate set, as streaming needs.</source>
        <translation>Die Bitrate schwankt, bleibt aber nahe an der eingestellten, wie es Streaming braucht.</translation>
    </message>
    <message>
        <source>Co&amp;nstant</source>
        <translation>&amp;Konstant</translation>
    </message>
    <message>
        <source>Every moment takes the same rate.</source>
        <translation>Jeder Augenblick bekommt dieselbe Bitrate.</translation>
    </message>
    <message>
        <source>Opus plays at 48000 Hz, so every source is resampled to it, and keeps up to six channels. Tags and the cover picture go in; ReplayGain from the Loudness page is written as R128 gain tags, relative to -23 LUFS.</source>
        <translation>Opus spielt mit 48000 Hz, daher wird jede Quelle darauf umgerechnet, und behält bis zu sechs Kanäle. Tags und das Titelbild kommen hinein; ReplayGain von der Seite Lautheit wird als R128-Gain-Tags geschrieben, bezogen auf -23 LUFS.</translation>
    </message>
</context>
</TS>
