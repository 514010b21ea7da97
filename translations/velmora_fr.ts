<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>velmora::FailureSummary</name>
    <message>
        <source>Failed to load the following files.</source>
        <translation>Impossible de charger les fichiers suivants.</translation>
    </message>
    <message>
        <source>&lt;more files&gt;...</source>
        <translation>&lt;autres fichiers&gt;…</translation>
    </message>
    <message>
        <source>To get help, please contact &lt;%1&gt;.</source>
        <translation>Pour obtenir de l&apos;aide, écrivez à &lt;%1&gt;.</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>illisible</translation>
    </message>
    <message>
        <source>not an AIFF file</source>
        <translation>pas un fichier AIFF</translation>
    </message>
    <message>
        <source>damaged or truncated header</source>
        <translation>en-tête endommagé ou tronqué</translation>
    </message>
    <message>
        <source>unsupported sample format</source>
        <translation>format d’échantillon non pris en charge</translation>
    </message>
    <message>
        <source>unsupported compression &apos;%1&apos;</source>
        <translation>compression « %1 » non prise en charge</translation>
    </message>
</context>
<context>
    <name>velmora::FileListModel</name>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Freq.</source>
        <translation>Fréq.</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Canaux</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stéréo</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CAboutDlg</name>
    <message>
        <source>About Velmora</source>
        <translation>À propos de Velmora</translation>
    </message>
    <message>
        <source>Velmora v%1 build %2</source>
        <translation>Velmora v%1, build %2</translation>
    </message>
    <message>
        <source>Copyright © Tandrel. All rights reserved.
Velmora is provided as is, without warranty of any kind.</source>
        <translation>Copyright © Tandrel. Tous droits réservés.
Velmora est fourni tel quel, sans garantie d&apos;aucune sorte.</translation>
    </message>
    <message>
        <source>Visit Velmora Homepage</source>
        <translation>Visiter le site web de Velmora</translation>
    </message>
    <message>
        <source>Feedback and Support</source>
        <translation>Commentaires et assistance</translation>
    </message>
    <message>
        <source>The program uses LAME MP3 encoder</source>
        <translation>Le programme utilise l&apos;encodeur MP3 LAME</translation>
    </message>
    <message>
        <source>&amp;Check Updates</source>
        <translation>&amp;Rechercher des mises à jour</translation>
    </message>
    <message>
        <source>Tell a Friend</source>
        <translation>Recommander à un ami</translation>
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
        <translation>Ajout de fichiers en cours</translation>
    </message>
    <message>
        <source>Files added</source>
        <translation>Fichiers ajoutés</translation>
    </message>
    <message>
        <source>Searching AIFF files...</source>
        <translation>Recherche des fichiers AIFF…</translation>
    </message>
    <message>
        <source>Adding AIFF file %1 of %2...</source>
        <translation>Ajout du fichier AIFF %1 sur %2…</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CConvertProgressDlg</name>
    <message>
        <source>Converting files</source>
        <translation>Conversion des fichiers</translation>
    </message>
    <message>
        <source>Progress of this file</source>
        <translation>Progression de ce fichier</translation>
    </message>
    <message>
        <source>Progress of all files</source>
        <translation>Progression de tous les fichiers</translation>
    </message>
    <message>
        <source>Converting %2...%1%</source>
        <translation>Conversion de %2… %1 %</translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to MP3...</source>
        <translation>
            <numerusform>Conversion en MP3 du fichier %1 sur %n…</numerusform>
            <numerusform>Conversion en MP3 du fichier %1 sur %n…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to WAV...</source>
        <translation>
            <numerusform>Conversion en WAV du fichier %1 sur %n…</numerusform>
            <numerusform>Conversion en WAV du fichier %1 sur %n…</numerusform>
        </translation>
    </message>
    <message>
        <source>Measuring %2...%1%</source>
        <translation>Mesure de %2… %1 %</translation>
    </message>
    <message>
        <source>Measuring loudness before converting...</source>
        <translation>Mesure de la sonie avant la conversion…</translation>
    </message>
    <message>
        <source>Measuring loudness: %1 of %2 file(s)...</source>
        <translation>Mesure de la sonie : %1 fichier(s) sur %2…</translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to FLAC...</source>
        <translation>
            <numerusform>Conversion en FLAC du fichier %1 sur %n…</numerusform>
            <numerusform>Conversion en FLAC du fichier %1 sur %n…</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Converting %1 of %n file(s) to Opus...</source>
        <translation>
            <numerusform>Conversion en Opus du fichier %1 sur %n…</numerusform>
            <numerusform>Conversion en Opus du fichier %1 sur %n…</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>velmora::ui::CId3TagDlg</name>
    <message>
        <source>No genre</source>
        <translation>Aucun genre</translation>
    </message>
    <message>
        <source>Edit ID3 tag</source>
        <translation>Modifier l&apos;étiquette ID3</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Titre :</translation>
    </message>
    <message>
        <source>Name as file name (not include extension)</source>
        <translation>Nom du fichier comme titre (sans extension)</translation>
    </message>
    <message>
        <source>&amp;Artist:</source>
        <translation>&amp;Artiste :</translation>
    </message>
    <message>
        <source>Albu&amp;m:</source>
        <translation>Al&amp;bum :</translation>
    </message>
    <message>
        <source>&amp;Year:</source>
        <translation>A&amp;nnée :</translation>
    </message>
    <message>
        <source>&amp;Genre:</source>
        <translation>&amp;Genre :</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Commentaire :</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CLinkStatic</name>
    <message>
        <source>The link has no address.</source>
        <translation>Le lien n&apos;a pas d&apos;adresse.</translation>
    </message>
    <message>
        <source>Unable to open hyperlink:

%1</source>
        <translation>Impossible d&apos;ouvrir le lien :

%1</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CMainDlg</name>
    <message>
        <source>You should select a AIFF file at least.</source>
        <translation>Veuillez sélectionner au moins un fichier AIFF.</translation>
    </message>
    <message>
        <source>There aren&apos;t AIFF files in list.</source>
        <translation>La liste ne contient aucun fichier AIFF.</translation>
    </message>
    <message>
        <source>AIFF files</source>
        <translation>Fichiers AIFF</translation>
    </message>
    <message>
        <source>&amp;Add AIFF</source>
        <translation>&amp;Ajouter AIFF</translation>
    </message>
    <message>
        <source>Add AIFF/AIF/AIFC files</source>
        <translation>Ajouter des fichiers AIFF/AIF/AIFC</translation>
    </message>
    <message>
        <source>Add &amp;Folder</source>
        <translation>Ajouter &amp;dossier</translation>
    </message>
    <message>
        <source>Add AIFF/AIF/AIFC files from a folder</source>
        <translation>Ajouter les fichiers AIFF/AIF/AIFC d&apos;un dossier</translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation>&amp;Tout retirer</translation>
    </message>
    <message>
        <source>Remove all files in list</source>
        <translation>Retirer tous les fichiers de la liste</translation>
    </message>
    <message>
        <source>Convert to &amp;MP3</source>
        <translation>Créer des &amp;MP3</translation>
    </message>
    <message>
        <source>Convert all files to MP3 format</source>
        <translation>Convertir tous les fichiers au format MP3</translation>
    </message>
    <message>
        <source>Convert to &amp;WAV</source>
        <translation>Créer des &amp;WAV</translation>
    </message>
    <message>
        <source>Convert all files to WAV format</source>
        <translation>Convertir tous les fichiers au format WAV</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Paramètres</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Visit Velmora Homepage</source>
        <translation>Visiter le site web de Velmora</translation>
    </message>
    <message>
        <source>&amp;Convert to MP3</source>
        <translation>&amp;Convertir en MP3</translation>
    </message>
    <message>
        <source>Con&amp;vert to WAV</source>
        <translation>Con&amp;vertir en WAV</translation>
    </message>
    <message>
        <source>Convert All to &amp;MP3</source>
        <translation>Tout convertir en &amp;MP3</translation>
    </message>
    <message>
        <source>Convert All to &amp;WAV</source>
        <translation>Tout convertir en &amp;WAV</translation>
    </message>
    <message>
        <source>Browse &amp;Source Folder</source>
        <translation>Ouvrir le dossier &amp;source</translation>
    </message>
    <message>
        <source>Browse Destination &amp;Folder</source>
        <translation>Ouvrir le dossier de &amp;destination</translation>
    </message>
    <message>
        <source>&amp;Add AIFF...</source>
        <translation>&amp;Ajouter AIFF…</translation>
    </message>
    <message>
        <source>Add F&amp;older</source>
        <translation>Ajouter d&amp;ossier</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>Remove Al&amp;l</source>
        <translation>&amp;Tout retirer</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Rubriques d&apos;aide</translation>
    </message>
    <message>
        <source>&amp;Tell A Friend</source>
        <translation>Recommander à un &amp;ami</translation>
    </message>
    <message>
        <source>&amp;Feedback and Support</source>
        <translation>&amp;Commentaires et assistance</translation>
    </message>
    <message>
        <source>Home&amp;page</source>
        <translation>Site &amp;web</translation>
    </message>
    <message>
        <source>&amp;Check Latest Version</source>
        <translation>Rechercher une nouvelle &amp;version</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>À &amp;propos…</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ajouter dossier</translation>
    </message>
    <message>
        <source>Please choose a folder:</source>
        <translation>Veuillez choisir un dossier :</translation>
    </message>
    <message>
        <source>AIFF to MP3, WAV, FLAC and Opus</source>
        <translation>AIFF en MP3, WAV, FLAC et Opus</translation>
    </message>
    <message>
        <source>&amp;Details...</source>
        <translation>Déta&amp;ils…</translation>
    </message>
    <message numerus="yes">
        <source>%n dropped file(s) skipped: not AIFF files (.aif, .aiff, .aifc, .afc).</source>
        <translation>
            <numerusform>%n fichier déposé ignoré : pas un fichier AIFF (.aif, .aiff, .aifc, .afc).</numerusform>
            <numerusform>%n fichiers déposés ignorés : pas des fichiers AIFF (.aif, .aiff, .aifc, .afc).</numerusform>
        </translation>
    </message>
    <message>
        <source>No file manager could be opened to show &quot;%1&quot;.</source>
        <translation>Aucun gestionnaire de fichiers n’a pu être ouvert pour montrer « %1 ».</translation>
    </message>
    <message>
        <source>Sort &amp;By</source>
        <translation>Trier &amp;par</translation>
    </message>
    <message>
        <source>Convert Selection &amp;To</source>
        <translation>Convertir la sé&amp;lection en</translation>
    </message>
    <message>
        <source>Co&amp;nvert All To</source>
        <translation>Tout co&amp;nvertir en</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptLoudnessPage</name>
    <message>
        <source>The loudness of the sound handed to the MP3 or WAV encoder. A decoded MP3 measures a little lower, at 128 kbit/s by 0.5 to 0.7 LU, as the encoder leaves out the highest frequencies.</source>
        <translation>La sonie du son remis à l'encodeur MP3 ou WAV. Un MP3 décodé mesure un peu moins, à 128 kbit/s de 0,5 à 0,7 LU, car l'encodeur laisse de côté les fréquences les plus hautes.</translation>
    </message>
    <message>
        <source>Loudness (EBU R128)</source>
        <translation>Sonie (EBU R128)</translation>
    </message>
    <message>
        <source>&amp;Off</source>
        <translation>&amp;Désactivé</translation>
    </message>
    <message>
        <source>&amp;ReplayGain tags</source>
        <translation>Étiquettes &amp;ReplayGain</translation>
    </message>
    <message>
        <source>&amp;Normalise the sound to:</source>
        <translation>&amp;Normaliser le son à :</translation>
    </message>
    <message>
        <source> LUFS</source>
        <translation> LUFS</translation>
    </message>
    <message>
        <source>Target loudness</source>
        <translation>Sonie cible</translation>
    </message>
    <message>
        <source> dBTP</source>
        <translation> dBTP</translation>
    </message>
    <message>
        <source>True-peak &amp;ceiling:</source>
        <translation>&amp;Plafond de crête réelle :</translation>
    </message>
    <message>
        <source>&amp;Album mode</source>
        <translation>Mode &amp;album</translation>
    </message>
    <message>
        <source>The files of one source folder are measured together, as one album</source>
        <translation>Les fichiers d&apos;un même dossier source sont mesurés ensemble, comme un album</translation>
    </message>
    <message>
        <source>ReplayGain tags tell players how far to turn each file up or down to reach -18 LUFS. Normalising changes the sound itself and takes the place of the Amplify settings of the MP3 and WAV pages; it never clips: where a file&apos;s true peak would pass the ceiling, it is brought up less. Album mode treats the files of one source folder as one album. Every source is measured before the conversion starts.</source>
        <translation>Les étiquettes ReplayGain indiquent aux lecteurs de combien monter ou baisser chaque fichier pour atteindre -18 LUFS. La normalisation modifie le son lui-même et remplace le réglage « Amplifier / réduire le son » des pages MP3 et WAV ; elle ne sature jamais : si la crête réelle d&apos;un fichier dépassait le plafond, il est moins amplifié. Le mode album traite les fichiers d&apos;un même dossier source comme un album. Chaque source est mesurée avant le début de la conversion.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptMp3Page</name>
    <message>
        <source>11025 Hz, 16 kbps, Mono (low quality, smaller file size)</source>
        <translation>11025 Hz, 16 kbit/s, mono (qualité faible, fichier plus petit)</translation>
    </message>
    <message>
        <source>22050 Hz, 32 kbps, Joint Stereo (OK quality, small size)</source>
        <translation>22050 Hz, 32 kbit/s, joint stéréo (qualité correcte, petit fichier)</translation>
    </message>
    <message>
        <source>32000 Hz, 96 kbps, Joint Stereo (medium quality, normal size)</source>
        <translation>32000 Hz, 96 kbit/s, joint stéréo (qualité moyenne, taille normale)</translation>
    </message>
    <message>
        <source>44100Hz, 128 kbps, Joint Stereo (close to CD-quality, large size)</source>
        <translation>44100 Hz, 128 kbit/s, joint stéréo (proche de la qualité CD, gros fichier)</translation>
    </message>
    <message>
        <source>MP3 Encoding Parameters</source>
        <translation>Encodage MP3</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Automatique</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personnalisé</translation>
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
        <translation>&amp;Préréglage :</translation>
    </message>
    <message>
        <source>Sample &amp;Frequency:</source>
        <translation>&amp;Fréquence d&apos;échantillonnage :</translation>
    </message>
    <message>
        <source>&amp;Bit Rate:</source>
        <translation>&amp;Débit binaire :</translation>
    </message>
    <message>
        <source>&amp;Joint Stereo</source>
        <translation>&amp;Joint stéréo</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <translation>&amp;Stéréo</translation>
    </message>
    <message>
        <source>&amp;Mono</source>
        <translation>&amp;Mono</translation>
    </message>
    <message>
        <source>Joint Stereo vs. Stereo</source>
        <translation>Joint stéréo ou stéréo ?</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Canaux :</translation>
    </message>
    <message>
        <source>Constant bit rate</source>
        <translation>Débit binaire constant</translation>
    </message>
    <message>
        <source>Variable, V%1 (best quality, largest size)</source>
        <translation>Variable, V%1 (meilleure qualité, fichier le plus gros)</translation>
    </message>
    <message>
        <source>Variable, V%1 (lowest quality, smallest size)</source>
        <translation>Variable, V%1 (qualité la plus basse, fichier le plus petit)</translation>
    </message>
    <message>
        <source>Variable, V%1</source>
        <translation>Variable, V%1</translation>
    </message>
    <message>
        <source>&amp;Gapless playback</source>
        <translation>&amp;Lecture sans interruption</translation>
    </message>
    <message>
        <source>Tells players the encoder&apos;s delay and padding, so that they play exactly the source&apos;s length. Variable bit rate always does.</source>
        <translation>Indique aux lecteurs le délai et le remplissage de l&apos;encodeur, pour qu&apos;ils jouent exactement la durée de la source. Le débit variable le fait toujours.</translation>
    </message>
    <message>
        <source>&amp;Quality:</source>
        <translation>&amp;Qualité :</translation>
    </message>
    <message>
        <source>Quality: constant bit rate, or variable bit rate V0 to V9</source>
        <translation>Qualité : débit binaire constant, ou débit variable V0 à V9</translation>
    </message>
    <message>
        <source>Gapless playback at constant bit rate</source>
        <translation>Lecture sans interruption à débit constant</translation>
    </message>
    <message>
        <source>The program uses LAME MP3 encoder.</source>
        <translation>Le programme utilise l&apos;encodeur MP3 LAME.</translation>
    </message>
    <message>
        <source>ID3 tag</source>
        <translation>Étiquette ID3</translation>
    </message>
    <message>
        <source>Add &amp;ID3 tag when converting AIFF to MP3</source>
        <translation>Ajouter une étiquette &amp;ID3 lors de la conversion en MP3</translation>
    </message>
    <message>
        <source>Edit ID3 &amp;tag</source>
        <translation>Modifier l&apos;é&amp;tiquette ID3</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptOutputPage</name>
    <message>
        <source>Output Folder</source>
        <translation>Dossier de sortie</translation>
    </message>
    <message>
        <source>Same as source file</source>
        <translation>Dossier du fichier source</translation>
    </message>
    <message>
        <source>Specify output folder</source>
        <translation>Choisir un dossier de sortie</translation>
    </message>
    <message>
        <source>&amp;Output Folder:</source>
        <translation>&amp;Dossier de sortie :</translation>
    </message>
    <message>
        <source>&amp;Browse</source>
        <translation>&amp;Parcourir…</translation>
    </message>
    <message>
        <source>Browse for the output folder</source>
        <translation>Choisir le dossier de sortie</translation>
    </message>
    <message>
        <source>&amp;Specific Folder:</source>
        <translation>D&amp;ossier :</translation>
    </message>
    <message>
        <source>&amp;Create folders according to path of source file</source>
        <translation>C&amp;réer les dossiers selon le chemin du fichier source</translation>
    </message>
    <message>
        <source>For example, the source &quot;/home/ann/Music/pop/track.aiff&quot; with the output folder &quot;/home/ann/Converted&quot; is written into &quot;/home/ann/Converted/home/ann/Music/pop&quot;, which is created automatically.</source>
        <translation>Par exemple, la source « /home/ann/Music/pop/track.aiff » avec le dossier de sortie « /home/ann/Converted » est écrite dans « /home/ann/Converted/home/ann/Music/pop », créé automatiquement.</translation>
    </message>
    <message>
        <source>{name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}; &quot;/&quot; makes folders; {artist|Various} names a fallback; {path}/ recreates the folders below a folder added or dropped.</source>
        <translation>{name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02} ; « / » crée des dossiers ; {artist|Various} donne une valeur de repli ; {path}/ recrée les dossiers situés sous un dossier ajouté ou déposé.</translation>
    </message>
    <message>
        <source>File &amp;names:</source>
        <translation>&amp;Noms de fichier :</translation>
    </message>
    <message>
        <source>&amp;Browse output folder while conversion is complete</source>
        <translation>Ou&amp;vrir le dossier de sortie à la fin de la conversion</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Étiquettes</translation>
    </message>
    <message>
        <source>Copy &amp;tags from the source file</source>
        <translation>Copier les é&amp;tiquettes du fichier source</translation>
    </message>
    <message>
        <source>Copy tags from the source file</source>
        <translation>Copier les étiquettes du fichier source</translation>
    </message>
    <message>
        <source>Title, artist, album, comments, cover picture and the like go into the output file.</source>
        <translation>Le titre, l&apos;artiste, l&apos;album, les commentaires, la pochette et le reste passent dans le fichier de sortie.</translation>
    </message>
    <message>
        <source>For example, &quot;%1&quot; becomes &quot;%2.mp3&quot;.</source>
        <translation>Par exemple, « %1 » devient « %2.mp3 ».</translation>
    </message>
    <message>
        <source>Please choose an output folder:</source>
        <translation>Veuillez choisir un dossier de sortie :</translation>
    </message>
    <message>
        <source>Please choose an output folder.</source>
        <translation>Veuillez choisir un dossier de sortie.</translation>
    </message>
    <message>
        <source>Please correct the file names: %1.</source>
        <translation>Veuillez corriger les noms de fichier : %1.</translation>
    </message>
    <message>
        <source>the name pattern is empty</source>
        <translation>le modèle de nom est vide</translation>
    </message>
    <message>
        <source>the name pattern must not start with &apos;/&apos;: it names a path below the output folder</source>
        <translation>le modèle de nom ne doit pas commencer par « / » : il désigne un chemin sous le dossier de sortie</translation>
    </message>
    <message>
        <source>the name pattern must end with a file name, not &apos;/&apos;</source>
        <translation>le modèle de nom doit se terminer par un nom de fichier, pas par « / »</translation>
    </message>
    <message>
        <source>the name pattern has an empty, &apos;.&apos; or &apos;..&apos; folder</source>
        <translation>le modèle de nom contient un dossier vide, « . » ou « .. »</translation>
    </message>
    <message>
        <source>the name pattern has a &apos;}&apos; without its &apos;{&apos;</source>
        <translation>le modèle de nom contient un « } » sans son « { »</translation>
    </message>
    <message>
        <source>the name pattern has a &apos;{&apos; without its &apos;}&apos;</source>
        <translation>le modèle de nom contient un « { » sans son « } »</translation>
    </message>
    <message>
        <source>the name pattern has an unknown field {%1}; known: {name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}</source>
        <translation>le modèle de nom contient un champ inconnu {%1} ; champs connus : {name} {folder} {path} {title} {artist} {album} {year} {genre} {track} {track:02}</translation>
    </message>
    <message>
        <source>&amp;Verify each output before it is saved</source>
        <translation>Vérifier chaque fichier de sortie avant de l&apos;&amp;enregistrer</translation>
    </message>
    <message>
        <source>Each new file is read back before it takes its name: WAV and FLAC files sample by sample, MP3 and Opus files decoded whole. A file that fails is not saved.</source>
        <translation>Chaque nouveau fichier est relu avant de prendre son nom : les fichiers WAV et FLAC échantillon par échantillon, les fichiers MP3 et Opus entièrement décodés. Un fichier qui échoue n&apos;est pas enregistré.</translation>
    </message>
    <message>
        <source>the name pattern must give {path} a whole folder of its own, as in {path}/{name}</source>
        <translation>le modèle de nom doit donner à {path} un dossier entier à lui seul, comme dans {path}/{name}</translation>
    </message>
    <message>
        <source>Copy covers and notes &amp;found beside the sources</source>
        <translation>&amp;Copier les pochettes et les notes placées à côté des sources</translation>
    </message>
    <message>
        <source>Pictures, PDF and text files in a source&apos;s folder are copied into the folder its output goes to. A name already there is left alone; cue sheets and playlists are never copied.</source>
        <translation>Les images, les PDF et les fichiers texte du dossier d’une source sont copiés dans le dossier de sa sortie. Un nom déjà présent n’est pas touché ; les fichiers cue et les listes de lecture ne sont jamais copiés.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptSheet</name>
    <message>
        <source>Options</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>MP3 Options</source>
        <translation>Paramètres MP3</translation>
    </message>
    <message>
        <source>WAV Options</source>
        <translation>Paramètres WAV</translation>
    </message>
    <message>
        <source>Output Options</source>
        <translation>Sortie</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Sonie</translation>
    </message>
    <message>
        <source>FLAC Options</source>
        <translation>Paramètres FLAC</translation>
    </message>
    <message>
        <source>Opus Options</source>
        <translation>Paramètres Opus</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptWavPage</name>
    <message>
        <source>11025 Hz, 8 bits, Mono (low quality, smaller file size)</source>
        <translation>11025 Hz, 8 bits, mono (qualité faible, fichier plus petit)</translation>
    </message>
    <message>
        <source>22050 Hz, 16 bits, Stereo (OK quality, small size)</source>
        <translation>22050 Hz, 16 bits, stéréo (qualité correcte, petit fichier)</translation>
    </message>
    <message>
        <source>32000 Hz, 16 bits, Stereo (medium quality, normal size)</source>
        <translation>32000 Hz, 16 bits, stéréo (qualité moyenne, taille normale)</translation>
    </message>
    <message>
        <source>44100Hz, 16 bits, Stereo (high quality, large size)</source>
        <translation>44100 Hz, 16 bits, stéréo (haute qualité, gros fichier)</translation>
    </message>
    <message>
        <source>WAV Encoding Parameters</source>
        <translation>Encodage WAV</translation>
    </message>
    <message>
        <source>Auto (recommended)</source>
        <translation>Automatique (recommandé)</translation>
    </message>
    <message>
        <source>Same as source (lossless)</source>
        <translation>Identique à la source (sans perte)</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personnalisé</translation>
    </message>
    <message>
        <source>%1 bits</source>
        <translation>%1 bits</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>&amp;Encoding Options:</source>
        <translation>&amp;Préréglage :</translation>
    </message>
    <message>
        <source>Sample &amp;Frequency:</source>
        <translation>&amp;Fréquence d&apos;échantillonnage :</translation>
    </message>
    <message>
        <source>&amp;Bits:</source>
        <translation>&amp;Bits :</translation>
    </message>
    <message>
        <source>&amp;Stereo</source>
        <translation>&amp;Stéréo</translation>
    </message>
    <message>
        <source>&amp;Mono</source>
        <translation>&amp;Mono</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Canaux :</translation>
    </message>
</context>
<context>
    <name>velmora::ui::CProgressDlg</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>velmora::ui::ConversionRun</name>
    <message>
        <source>Converting...</source>
        <translation>Conversion…</translation>
    </message>
</context>
<context>
    <name>velmora::ui::FileChooser</name>
    <message>
        <source>Add AIFF</source>
        <translation>Ajouter AIFF</translation>
    </message>
    <message>
        <source>AIFF Files (*.aiff *.aif *.aifc *.afc *.AIFF *.AIF *.AIFC *.AFC)</source>
        <translation>Fichiers AIFF (*.aiff *.aif *.aifc *.afc *.AIFF *.AIF *.AIFC *.AFC)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
</context>
<context>
    <name>velmora::ui::FileListAccessible</name>
    <message>
        <source>Sort the list by this column</source>
        <translation>Trier la liste selon cette colonne</translation>
    </message>
</context>
<context>
    <name>velmora::ui::HelpWindow</name>
    <message>
        <source>Link to the help page &quot;%1&quot;</source>
        <translation>Lien vers la page d'aide « %1 »</translation>
    </message>
    <message>
        <source>Link to %1</source>
        <translation>Lien vers %1</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenue</translation>
    </message>
    <message>
        <source>Adding files</source>
        <translation>Ajout de fichiers</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>MP3 options</source>
        <translation>Paramètres MP3</translation>
    </message>
    <message>
        <source>WAV options</source>
        <translation>Paramètres WAV</translation>
    </message>
    <message>
        <source>Output options</source>
        <translation>Sortie</translation>
    </message>
    <message>
        <source>Where files go</source>
        <translation>Emplacement des fichiers</translation>
    </message>
    <message>
        <source>Command line</source>
        <translation>Ligne de commande</translation>
    </message>
    <message>
        <source>Settings file</source>
        <translation>Fichier de paramètres</translation>
    </message>
    <message>
        <source>Keys and mouse</source>
        <translation>Clavier et souris</translation>
    </message>
    <message>
        <source>Velmora Help</source>
        <translation>Aide de Velmora</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Sommaire</translation>
    </message>
    <message>
        <source>Help page</source>
        <translation>Page d&apos;aide</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Sonie</translation>
    </message>
    <message>
        <source>FLAC options</source>
        <translation>Paramètres FLAC</translation>
    </message>
    <message>
        <source>Opus options</source>
        <translation>Paramètres Opus</translation>
    </message>
</context>
<context>
    <name>velmora::ui::SoundGroup</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>Veuillez saisir un nombre entier.</translation>
    </message>
    <message>
        <source>Invalid amplification coefficient. It&apos;s betwen 10 and 3000.</source>
        <translation>Coefficient d&apos;amplification non valable. Il doit être compris entre 10 et 3000.</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>&amp;Amplify / Reduce sound</source>
        <translation>&amp;Amplifier / réduire le son</translation>
    </message>
    <message>
        <source>&lt; 100% - Reduce sound
= 100% - No changes
&gt; 100% - Amplify sound</source>
        <translation>&lt; 100 % – son réduit
= 100 % – inchangé
&gt; 100 % – son amplifié</translation>
    </message>
    <message>
        <source>&amp;Coefficient:</source>
        <translation>&amp;Coefficient :</translation>
    </message>
</context>
<context>
    <name>velmora::ui::StatusText</name>
    <message>
        <source>source ends early: %1 of %2 frames</source>
        <translation>la source se termine trop tôt : %1 trames sur %2</translation>
    </message>
    <message>
        <source>%1 kbit/s at %2 Hz</source>
        <translation>%1 kbit/s à %2 Hz</translation>
    </message>
    <message>
        <source>not gapless: a frame of %1 has no room for the information frame</source>
        <translation>pas sans interruption : une trame de %1 n&apos;a pas la place pour la trame d&apos;information</translation>
    </message>
    <message>
        <source>Cancelled</source>
        <translation>Annulé</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Ignoré</translation>
    </message>
    <message>
        <source>Failed to create folder &quot;%1&quot;</source>
        <translation>Impossible de créer le dossier « %1 »</translation>
    </message>
    <message>
        <source>Failed to create destination file</source>
        <translation>Impossible de créer le fichier de destination</translation>
    </message>
    <message>
        <source>Conversion Failure</source>
        <translation>Échec de la conversion</translation>
    </message>
    <message>
        <source>%1 elapsed · %2 · %3× real time</source>
        <translation>%1 écoulé · %2 · %3× temps réel</translation>
    </message>
    <message>
        <source>about %1 left</source>
        <translation>environ %1 restant</translation>
    </message>
    <message>
        <source>— left</source>
        <translation>reste —</translation>
    </message>
    <message>
        <source>%1 LUFS</source>
        <translation>%1 LUFS</translation>
    </message>
    <message>
        <source>%1 LUFS, held by the %2 dBTP ceiling</source>
        <translation>%1 LUFS, limité par le plafond de %2 dBTP</translation>
    </message>
    <message>
        <source>ReplayGain %1 dB</source>
        <translation>ReplayGain %1 dB</translation>
    </message>
    <message>
        <source>too quiet to measure: no ReplayGain</source>
        <translation>trop faible pour être mesuré : pas de ReplayGain</translation>
    </message>
    <message>
        <source>too quiet to measure: left as it is</source>
        <translation>trop faible pour être mesuré : laissé tel quel</translation>
    </message>
    <message>
        <source>loudness not measured at %1 Hz</source>
        <translation>sonie non mesurée à %1 Hz</translation>
    </message>
    <message numerus="yes">
        <source>, %Ln sample(s) not finite, measured as silence</source>
        <translation>
            <numerusform>, %Ln échantillon non fini, mesuré comme silence</numerusform>
            <numerusform>, %Ln échantillons non finis, mesurés comme silence</numerusform>
        </translation>
    </message>
    <message>
        <source>Source: %1</source>
        <translation>Source : %1</translation>
    </message>
    <message>
        <source>Output: %1</source>
        <translation>Sortie : %1</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 Mio</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 Kio</translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 octet</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <source>%1 chunk of %2 left out (over the %3 limit for texts)</source>
        <translation>bloc %1 de %2 omis (au-delà de la limite de %3 pour les textes)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln %1 chunks of %2 in all left out (over the %3 limit for texts)</source>
        <translation>
            <numerusform>%Ln bloc %1 de %2 omis (au-delà de la limite de %3 pour les textes)</numerusform>
            <numerusform>%Ln blocs %1 de %2 au total omis (au-delà de la limite de %3 pour les textes)</numerusform>
        </translation>
    </message>
    <message>
        <source>ID3 %1 frame of %2 left out (over the %3 limit for texts)</source>
        <translation>trame ID3 %1 de %2 omise (au-delà de la limite de %3 pour les textes)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln ID3 %1 frames of %2 in all left out (over the %3 limit for texts)</source>
        <translation>
            <numerusform>%Ln trame ID3 %1 de %2 omise (au-delà de la limite de %3 pour les textes)</numerusform>
            <numerusform>%Ln trames ID3 %1 de %2 au total omises (au-delà de la limite de %3 pour les textes)</numerusform>
        </translation>
    </message>
    <message>
        <source>picture of %1 left out (over the %2 limit for pictures)</source>
        <translation>image de %1 omise (au-delà de la limite de %2 pour les images)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures of %1 in all left out (over the %2 limit for pictures)</source>
        <translation>
            <numerusform>%Ln image de %1 omise (au-delà de la limite de %2 pour les images)</numerusform>
            <numerusform>%Ln images de %1 au total omises (au-delà de la limite de %2 pour les images)</numerusform>
        </translation>
    </message>
    <message>
        <source>compressed ID3 frame of %1 left out (over the %2 limit for inflating)</source>
        <translation>trame ID3 compressée de %1 omise (au-delà de la limite de %2 pour la décompression)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln compressed ID3 frames of %1 in all left out (over the %2 limit for inflating)</source>
        <translation>
            <numerusform>%Ln trame ID3 compressée de %1 omise (au-delà de la limite de %2 pour la décompression)</numerusform>
            <numerusform>%Ln trames ID3 compressées de %1 au total omises (au-delà de la limite de %2 pour la décompression)</numerusform>
        </translation>
    </message>
    <message>
        <source>picture left out (at most %1 are kept)</source>
        <translation>image omise (%1 au plus sont conservées)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures left out (at most %1 are kept)</source>
        <translation>
            <numerusform>%Ln image omise (%1 au plus sont conservées)</numerusform>
            <numerusform>%Ln images omises (%1 au plus sont conservées)</numerusform>
        </translation>
    </message>
    <message>
        <source>metadata chunk left out (at most %1 are read)</source>
        <translation>bloc de métadonnées omis (%1 au plus sont lus)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln metadata chunks left out (at most %1 are read)</source>
        <translation>
            <numerusform>%Ln bloc de métadonnées omis (%1 au plus sont lus)</numerusform>
            <numerusform>%Ln blocs de métadonnées omis (%1 au plus sont lus)</numerusform>
        </translation>
    </message>
    <message>
        <source>ID3 %1 frame left out (damaged text)</source>
        <translation>trame ID3 %1 omise (texte endommagé)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln ID3 %1 frames left out (damaged text)</source>
        <translation>
            <numerusform>%Ln trame ID3 %1 omise (texte endommagé)</numerusform>
            <numerusform>%Ln trames ID3 %1 omises (texte endommagé)</numerusform>
        </translation>
    </message>
    <message>
        <source>tags not copied: ID3 chunk of %1 is over the limit</source>
        <translation>étiquettes non copiées : le bloc ID3 de %1 dépasse la limite</translation>
    </message>
    <message numerus="yes">
        <source>tags not copied: %Ln ID3 chunks of %1 in all are over the limit</source>
        <translation>
            <numerusform>étiquettes non copiées : %Ln bloc ID3 de %1 dépasse la limite</numerusform>
            <numerusform>étiquettes non copiées : %Ln blocs ID3 de %1 au total dépassent la limite</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 chunk of %2 is over the limit</source>
        <translation>le bloc %1 de %2 dépasse la limite</translation>
    </message>
    <message numerus="yes">
        <source>%Ln %1 chunks of %2 in all are over the limit</source>
        <translation>
            <numerusform>%Ln bloc %1 de %2 dépasse la limite</numerusform>
            <numerusform>%Ln blocs %1 de %2 au total dépassent la limite</numerusform>
        </translation>
    </message>
    <message>
        <source>tags not copied: an ID3 tag of %1 is over its limit</source>
        <translation>étiquettes non copiées : l&apos;étiquette ID3 de %1 dépasse sa taille maximale</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>source: %1</source>
        <translation>source : %1</translation>
    </message>
    <message>
        <source>invalid sample rate %1</source>
        <translation>fréquence d’échantillonnage %1 non valide</translation>
    </message>
    <message>
        <source>cannot convert %1 to %2</source>
        <translation>impossible de convertir %1 en %2</translation>
    </message>
    <message>
        <source>cannot start the MP3 encoder</source>
        <translation>impossible de démarrer l’encodeur MP3</translation>
    </message>
    <message>
        <source>the MP3 encoder does not take these settings</source>
        <translation>l’encodeur MP3 n’accepte pas ces réglages</translation>
    </message>
    <message>
        <source>cannot write the output</source>
        <translation>impossible d’écrire la sortie</translation>
    </message>
    <message>
        <source>the output would pass the 4 GiB limit of WAV files</source>
        <translation>la sortie dépasserait la limite de 4 Gio des fichiers WAV</translation>
    </message>
    <message>
        <source>sample rate %1 is too high for a WAV file</source>
        <translation>fréquence d’échantillonnage %1 trop élevée pour un fichier WAV</translation>
    </message>
    <message>
        <source>%1 exists</source>
        <translation>%1 existe déjà</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>mémoire insuffisante</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>verification failed</source>
        <translation>échec de la vérification</translation>
    </message>
    <message>
        <source>picture of %1 left out (over the %2 limit of a FLAC block)</source>
        <translation>image de %1 omise (au-delà de la limite de %2 d’un bloc FLAC)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures of %1 in all left out (over the %2 limit of a FLAC block)</source>
        <translation>
            <numerusform>%Ln image de %1 omise (au-delà de la limite de %2 d’un bloc FLAC)</numerusform>
            <numerusform>%Ln images de %1 au total omises (au-delà de la limite de %2 d’un bloc FLAC)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 chunk of %2 not kept (over the %3 limit of a FLAC block): the AIFF restored from it will differ</source>
        <translation>bloc %1 de %2 non conservé (au-delà de la limite de %3 d’un bloc FLAC) : l’AIFF restauré à partir de ce fichier sera différent</translation>
    </message>
    <message numerus="yes">
        <source>%Ln chunks of %1 in all not kept (over the %2 limit of a FLAC block): the AIFF restored from it will differ</source>
        <translation>
            <numerusform>%Ln bloc de %1 non conservé (au-delà de la limite de %2 d’un bloc FLAC) : l’AIFF restauré à partir de ce fichier sera différent</numerusform>
            <numerusform>%Ln blocs de %1 au total non conservés (au-delà de la limite de %2 d’un bloc FLAC) : l’AIFF restauré à partir de ce fichier sera différent</numerusform>
        </translation>
    </message>
    <message>
        <source>float samples stored as %1-bit integers</source>
        <translation>échantillons à virgule flottante stockés en entiers de %1 bits</translation>
    </message>
    <message>
        <source>the Opus encoder failed</source>
        <translation>l’encodeur Opus a échoué</translation>
    </message>
    <message>
        <source>picture left out (not JPEG, PNG or GIF)</source>
        <translation>image omise (ni JPEG, ni PNG, ni GIF)</translation>
    </message>
    <message numerus="yes">
        <source>%Ln pictures left out (not JPEG, PNG or GIF)</source>
        <translation>
            <numerusform>%Ln image omise (ni JPEG, ni PNG, ni GIF)</numerusform>
            <numerusform>%Ln images omises (ni JPEG, ni PNG, ni GIF)</numerusform>
        </translation>
    </message>
    <message>
        <source>the source holds no sound at 48 kHz, and an Opus file cannot be empty</source>
        <translation>la source ne contient aucun son à 48 kHz, et un fichier Opus ne peut pas être vide</translation>
    </message>
    <message numerus="yes">
        <source>%Ln marker(s) left out (past the last frame, %1, or with a repeated or bad id)</source>
        <translation>
            <numerusform>%Ln marqueur omis (au-delà de la dernière trame, %1, ou d’identifiant répété ou invalide)</numerusform>
            <numerusform>%Ln marqueurs omis (au-delà de la dernière trame, %1, ou d’identifiant répété ou invalide)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln loop(s) left out (play mode not 0, 1 or 2)</source>
        <translation>
            <numerusform>%Ln boucle omise (mode de lecture autre que 0, 1 ou 2)</numerusform>
            <numerusform>%Ln boucles omises (mode de lecture autre que 0, 1 ou 2)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln loop(s) left out (a marker it names is missing)</source>
        <translation>
            <numerusform>%Ln boucle omise (un marqueur qu’elle nomme manque)</numerusform>
            <numerusform>%Ln boucles omises (un marqueur qu’elles nomment manque)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln loop(s) left out (it ends before it begins)</source>
        <translation>
            <numerusform>%Ln boucle omise (elle finit avant de commencer)</numerusform>
            <numerusform>%Ln boucles omises (elles finissent avant de commencer)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 chunk cut short: the rest left out</source>
        <translation>Chunk %1 tronqué : le reste est omis</translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) copied</source>
        <translation>
            <numerusform>%Ln fichier d’accompagnement copié</numerusform>
            <numerusform>%Ln fichiers d’accompagnement copiés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) already in the output folder, left alone</source>
        <translation>
            <numerusform>%Ln fichier d’accompagnement déjà dans le dossier de sortie, laissé tel quel</numerusform>
            <numerusform>%Ln fichiers d’accompagnement déjà dans le dossier de sortie, laissés tels quels</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) over the %1 limit, not copied</source>
        <translation>
            <numerusform>%Ln fichier d’accompagnement au-delà de la limite de %1, non copié</numerusform>
            <numerusform>%Ln fichiers d’accompagnement au-delà de la limite de %1, non copiés</numerusform>
        </translation>
    </message>
    <message>
        <source>companion file %1 not copied</source>
        <translation>fichier d’accompagnement %1 non copié</translation>
    </message>
    <message numerus="yes">
        <source>%Ln companion file(s) not copied, the first %1</source>
        <translation>
            <numerusform>%Ln fichier d’accompagnement non copié, le premier %1</numerusform>
            <numerusform>%Ln fichiers d’accompagnement non copiés, le premier %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>velmora::ui::UrlOpener</name>
    <message>
        <source>No program is set to open web addresses.</source>
        <translation>Aucun programme n&apos;est configuré pour ouvrir les adresses web.</translation>
    </message>
    <message>
        <source>No program is set to write e-mail.</source>
        <translation>Aucun programme n&apos;est configuré pour écrire des courriels.</translation>
    </message>
    <message>
        <source>No program is set to open this kind of file.</source>
        <translation>Aucun programme n&apos;est configuré pour ouvrir ce type de fichier.</translation>
    </message>
    <message>
        <source>No program is set to open &quot;%1:&quot; addresses.</source>
        <translation>Aucun programme n&apos;est configuré pour ouvrir les adresses « %1: ».</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>Le fichier indiqué est introuvable.</translation>
    </message>
    <message>
        <source>Unknown Error (%1) occurred.</source>
        <translation>Une erreur inconnue (%1) s&apos;est produite.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptFlacPage</name>
    <message>
        <source>FLAC Encoding Parameters</source>
        <translation>Encodage FLAC</translation>
    </message>
    <message>
        <source>&amp;Compression level:</source>
        <translation>Niveau de &amp;compression :</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>Plus rapide</translation>
    </message>
    <message>
        <source>Smaller</source>
        <translation>Plus petit</translation>
    </message>
    <message>
        <source>%1 (default)</source>
        <translation>%1 (par défaut)</translation>
    </message>
    <message>
        <source>Every level keeps the sound exactly as it is. A higher level takes longer to write a smaller file; level 5 is the usual balance, and files of any level play alike.</source>
        <translation>Chaque niveau garde le son exactement tel qu&apos;il est. Un niveau plus élevé prend plus de temps pour écrire un fichier plus petit ; le niveau 5 est le compromis habituel, et les fichiers de tout niveau se lisent de la même façon.</translation>
    </message>
    <message>
        <source>&amp;Keep the AIFF&apos;s chunks so the file can be restored whole</source>
        <translation>Conserver les &amp;blocs de l&apos;AIFF pour pouvoir restaurer le fichier entier</translation>
    </message>
    <message>
        <source>The source&apos;s header and its other chunks travel in the FLAC file, so that the original AIFF file can be restored from it byte for byte.</source>
        <translation>L&apos;en-tête de la source et ses autres blocs voyagent dans le fichier FLAC, de sorte que le fichier AIFF d&apos;origine peut en être restauré octet pour octet.</translation>
    </message>
    <message>
        <source>FLAC keeps every sample at the source&apos;s bit depth (floating-point sources become 24-bit), every channel and the sample rate. Tags, the cover picture and ReplayGain go in as Vorbis comments.</source>
        <translation>FLAC garde chaque échantillon à la résolution de la source (les sources en virgule flottante deviennent 24 bits), chaque canal et la fréquence d&apos;échantillonnage. Les étiquettes, la pochette et ReplayGain y entrent en commentaires Vorbis.</translation>
    </message>
</context>
<context>
    <name>velmora::ui::COptOpusPage</name>
    <message>
        <source>Opus Encoding Parameters</source>
        <translation>Encodage Opus</translation>
    </message>
    <message>
        <source>Bit rate:</source>
        <translation>Débit :</translation>
    </message>
    <message>
        <source>&amp;Automatic (%1 kbit/s a channel)</source>
        <translation>&amp;Automatique (%1 kbit/s par canal)</translation>
    </message>
    <message>
        <source>%1 kbit/s for a mono file, %2 kbit/s for stereo, and so on for more channels.</source>
        <translation>%1 kbit/s pour un fichier mono, %2 kbit/s pour la stéréo, et ainsi de suite pour plus de canaux.</translation>
    </message>
    <message>
        <source>&amp;Fixed:</source>
        <translation>&amp;Fixe :</translation>
    </message>
    <message>
        <source> kbit/s</source>
        <translation> kbit/s</translation>
    </message>
    <message>
        <source>Bit rate for every file</source>
        <translation>Débit pour chaque fichier</translation>
    </message>
    <message>
        <source>%1 to %2 kbit/s, for all channels of a file together.</source>
        <translation>De %1 à %2 kbit/s, pour tous les canaux d&apos;un fichier ensemble.</translation>
    </message>
    <message>
        <source>Bit rate control:</source>
        <translation>Contrôle du débit :</translation>
    </message>
    <message>
        <source>&amp;Variable</source>
        <translation>&amp;Variable</translation>
    </message>
    <message>
        <source>The rate follows the sound: the best sound for the size.</source>
        <translation>Le débit suit le son : le meilleur son pour la taille.</translation>
    </message>
    <message>
        <source>&amp;Constrained variable</source>
        <translation>Variable &amp;contraint</translation>
    </message>
    <message>
        <source>The rate varies, but stays close to the rate set, as streaming needs.</source>
        <translation>Le débit varie, mais reste proche du débit choisi, comme le demande la diffusion en continu.</translation>
    </message>
    <message>
        <source>Co&amp;nstant</source>
        <translation>Co&amp;nstant</translation>
    </message>
    <message>
        <source>Every moment takes the same rate.</source>
        <translation>Chaque instant reçoit le même débit.</translation>
    </message>
    <message>
        <source>Opus plays at 48000 Hz, so every source is resampled to it, and keeps up to six channels. Tags and the cover picture go in; ReplayGain from the Loudness page is written as R128 gain tags, relative to -23 LUFS.</source>
        <translation>Opus se lit à 48000 Hz : chaque source y est rééchantillonnée, et il garde jusqu&apos;à six canaux. Les étiquettes et la pochette y entrent ; ReplayGain de la page Sonie est écrit en étiquettes de gain R128, par rapport à -23 LUFS.</translation>
    </message>
</context>
</TS>
